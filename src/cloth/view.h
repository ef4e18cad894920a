#pragma once

// The rotation in degrees that the 3D view applies to the small net per frame; 1.0 at start.
extern float ViewAngle;
