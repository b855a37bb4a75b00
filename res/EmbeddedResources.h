#pragma once
// Files of res/ compiled into the program (see cmake/EmbedResources.cmake).

#include <cstddef>

struct SEmbeddedResource {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

// Ends with an entry whose name is nullptr.
const SEmbeddedResource* EmbeddedResourceTable();
