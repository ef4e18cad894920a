#pragma once

#include "cloth/mesh.h"

// Draw the edges of the mesh's triangles over what MeshRender just drew, from its camera-space vertices.
void ViewerOutline(const Mesh* mesh, u32 colour);
