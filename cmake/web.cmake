# The page's engine in WebAssembly (scripts/bootstrap web configures it with emcmake):
# kelmor_core, the export meshes with the glb and STL writers, and the JavaScript binding
# of src/web. Header-only Debian libraries are reached through a folder of links, so that
# no other header of /usr/include meets emscripten's own.
set(KELMOR_WEB_HEADERS ${CMAKE_BINARY_DIR}/debian-headers)
file(MAKE_DIRECTORY ${KELMOR_WEB_HEADERS})
foreach(header tiny_gltf.h nlohmann)
  if(NOT EXISTS ${KELMOR_WEB_HEADERS}/${header})
    file(CREATE_LINK /usr/include/${header} ${KELMOR_WEB_HEADERS}/${header} SYMBOLIC)
  endif()
endforeach()

file(GLOB KELMOR_WEB_SOURCES CONFIGURE_DEPENDS src/web/*.cpp)
add_executable(kelmor_page ${KELMOR_WEB_SOURCES}
  src/export/mesh.cpp src/export/solid_mesh.cpp src/export/strut_mesh.cpp src/export/shell_check.cpp
  src/export/export_solution.cpp src/export/export_list.cpp src/export/lay_on.cpp src/export/strut_size.cpp
  src/export/print_advice.cpp src/export/flat_foot.cpp src/export/gltf_file.cpp src/export/stl_file.cpp)
target_include_directories(kelmor_page SYSTEM PRIVATE ${KELMOR_WEB_HEADERS})
# Every file that includes tiny_gltf.h must see these: the page neither reads nor writes images.
target_compile_definitions(kelmor_page PRIVATE TINYGLTF_NO_STB_IMAGE TINYGLTF_NO_STB_IMAGE_WRITE
  TINYGLTF_NO_EXTERNAL_IMAGE)
target_link_libraries(kelmor_page PRIVATE kelmor_core)
target_compile_options(kelmor_page PRIVATE ${KELMOR_WARNINGS})
# A classic script the worker loads with importScripts; the memory grows with the solid.
set_target_properties(kelmor_page PROPERTIES OUTPUT_NAME kelmor-engine SUFFIX .js)
target_link_options(kelmor_page PRIVATE --bind -sMODULARIZE=1 -sEXPORT_NAME=KelmorEngine
  -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=worker,node -sFILESYSTEM=1)
