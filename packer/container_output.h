// Where the container goes: OutFile replaced whole or not at all, and never over the files
// the container is made of.
#pragma once

#include <string>
#include <vector>

#include "byte_buffer.h"

// Throws text_exception when OutFile (output_path) cannot hold a container: "OutFile %s is
// a Windows device name" for a file name that Windows opens a device for (refused on every
// platform, so that a description packs alike everywhere), "OutFile %s is not a regular
// file" when a directory, a device, a FIFO or a socket is there, links followed.
void refuse_unfit_output(const char* output_path);

// Throws text_exception when the file OutFile names (output_path) is the description or a
// file that an entry (entry_paths) names, however the paths are spelled.
void refuse_output_over_inputs(const char* output_path, const char* description_path,
                               const std::vector<std::string>& entry_paths);

// Writes container to output_path in one write. A file there is replaced only once the
// container is whole on the disk: it is written under a temporary name beside it, flushed,
// and renamed over it, keeping the file's permissions; so a failure, a full disk or a killed
// run leaves the old container as it was (a kill may leave the temporary file). A link named
// OutFile stays, and the file it leads to is replaced. Written in place, as it always was: a
// file that the user may write in a folder where they may create no other. Throws
// file_exception: create_failed with output_path where the file cannot be created or
// replaced (above all where the user may not write it, and where no regular file is there),
// write_failed when the write or the flush fails; never writes to a device, nor renames
// over one.
void write_container(const char* output_path, const byte_buffer& container);
