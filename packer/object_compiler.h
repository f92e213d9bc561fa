// The object-definition compiler: turns the description's [objectimages], [mapobjects]
// and [screenobjects] sections into the container's object section.
#pragma once

#include "byte_buffer.h"
#include "ini_file.h"

// Appends the object section to container when the description defines images; does
// nothing otherwise. Selects other sections of description. Throws base_exception.
void compile_objects(byte_buffer& container, ini_file& description);
