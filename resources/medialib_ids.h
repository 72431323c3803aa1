// Ids of the media library's resources (medialib.rci).
#pragma once

// "DROPOPTS": what a picture dropped with Alt becomes.
#define IDC_DROP_LASSO 200
#define IDC_DROP_CROP 201
#define IDC_DROP_BACKGROUND 202
#define IDC_DROP_GRAPHIC 203
