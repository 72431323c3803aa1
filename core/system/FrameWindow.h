// The plug-in draws in the window the browser gives it: it has no frame window of its own, hence
// no frame menu bar. Card records still keep the menu-bar flag, for stacks shared with the
// stand-alone program.
#pragma once

bool FrameHasMenuBar();
