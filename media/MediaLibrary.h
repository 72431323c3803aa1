// The media library: its window and the services other layers call (media/library/).
#pragma once

#include "media/library/MediaLibServices.h"
