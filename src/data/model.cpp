#include "data/model.h"

const MeshSource PlateModel = {MESH_TYPE_LWO2, PlateObject, PLATE_OBJECT_SIZE + 1};
