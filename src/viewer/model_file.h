#pragma once

#include "cloth/mesh.h"

// Load the LWO2 object named by "host:NAME", or the embedded plate for a null name, into a mesh from the pool,
// and print "NAME: V vertices, T triangles, code C"; null when the pool has no room for the mesh record.
Mesh* ViewerLoadModel(const char* name);
