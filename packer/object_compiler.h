// The object-definition compiler: turns the description's [objectimages], [mapobjects]
// and [screenobjects] sections into the container's object section.
//
// [objectimages] holds lines IMAGE0= to IMAGE255= (exactly these names, in any case; the
// first line of a number counts), each "file, x frames, y frames, loop time" with the
// defaults 1, 1 and 100 for 0 or nothing. Every line of [mapobjects] and [screenobjects]
// is one object: "x, y, IMAGEn, layer, mode, display time, object number", where x and y
// may begin with a reference letter of "+cbsgfetrowv". Only the first section of each
// name is read.
#pragma once

#include "byte_buffer.h"
#include "ini_file.h"
#include "packing_observer.h"

// Builds the object section's content (header, records grouped by layer with map objects
// before screen objects, image table) into content, replacing what it held, and returns
// true; returns false and leaves content alone when the description has no
// [objectimages], whatever the object sections hold. Selects other sections of
// description. Throws text_exception "Syntax error in line '%s'\n" for the first malformed
// object line, "%s used but not defined in [objectimages] in line '%s'\n" for the first
// that names an image [objectimages] does not define, "Cannot pack IMAGE%u: its file name
// ..." for an image whose file name no description line carries back (image_name_fault_of);
// memory_exception. observer is told what the sections hold and what is ignored or changed
// on the way.
bool build_object_content(byte_buffer& content, ini_file& description,
                          packing_observer& observer = unobserved());

// Appends the object section (empty name, time 0, compressed by the rules of any section)
// to container when the description defines images; does nothing otherwise. Throws what
// build_object_content and pack_section throw, and then appends nothing. observer as above,
// and told of the section's turn.
void compile_objects(byte_buffer& container, ini_file& description,
                     packing_observer& observer = unobserved());
