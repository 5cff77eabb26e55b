// The glTF library's code, which the native build links from Debian's libtinygltf. The
// page writes glb files without images (cmake/web.cmake leaves the image code out).
#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
