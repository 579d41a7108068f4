// The headless commands draw nothing.
#include "render/productpicture.h"
