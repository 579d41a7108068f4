// Windows know not the frame.
#include "app/mainwindow.h"
