// Reading a run's call log and the files it leaves (LogLines_win.cpp).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace browsertest {

std::string ReadFile(const std::string& path);
// The lines of a text without their leading blanks and line ends; blank lines dropped.
std::vector<std::string> Lines(const std::string& text);
std::string Joined(const std::vector<std::string>& lines);
bool StartsWith(const std::string& line, const std::string& prefix);
// The value after "key=" in a log or report line, up to the next ',', ')' or space.
std::string Field(const std::string& line, const std::string& key);
// Index of the first line at or after from that starts with prefix; -1 when none.
int Find(const std::vector<std::string>& lines, const std::string& prefix, int from = 0);
// Index of the first line at or after from that holds the text anywhere; -1 when none.
int FindHolding(const std::vector<std::string>& lines, const std::string& text, int from = 0);
// The numbers after " at " in the first log line at or after from that starts with prefix
// ("card(instance=1) at screen 10,20", "shown(Path Edit) class=#32770 at 1,2,3,4 ..."), in
// order; empty when there is no such line.
std::vector<int> NumbersAt(const std::vector<std::string>& lines, const std::string& prefix, int from = 0);
// Where the first embed's card lay on the screen ("card(instance=1) at screen X,Y"), and where
// the first window of that title shown lay ("shown(TITLE) ... at L,T,R,B"); false when not logged.
bool CardOnScreen(const std::vector<std::string>& lines, POINT* corner);
bool ShownPlace(const std::vector<std::string>& lines, const std::string& title, RECT* place);
// Waits (up to 10 s) for a file another program writes whole under its name (xwd's picture).
bool AppearedInTime(const std::string& path);

}  // namespace browsertest
