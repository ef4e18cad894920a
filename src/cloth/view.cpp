#include "cloth/view.h"

float ViewAngle = 1.0f;
