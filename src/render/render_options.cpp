#include "render/render_options.h"

#include <CLI/CLI.hpp>

namespace kelmor::render {

void AddRenderOptions(CLI::App* app, RenderArgs& a) {
  app->add_option("FILE", a.inputs, "OFF files (as Kelmor writes them, or any OFF file)")->required();
  app->add_option("-o,--output", a.output, "the PNG file (default: beside the OFF file); a folder for several files")
      ->type_name("FILE");
  app->add_option("--size", a.size, "picture size W or WxH in pixels (default 800)")->type_name("WxH");
  app->add_option("--view", a.view, "iso, x, y, z, -x, -y, -z, or AZIMUTH/ELEVATION in degrees (default iso)")
      ->type_name("VIEW");
  app->add_option("--background", a.background, "#rrggbb, white, black, grey or transparent (default white)")
      ->type_name("COLOUR");
  app->add_flag("--edges", a.edges, "draw the edges");
  app->add_option("--solid-file", a.solidFiles,
                  "the solid VRML file written with each OFF file (once per file, in order): frame faces are "
                  "drawn open and translucent faces see-through, as that file draws them")
      ->type_name("FILE");
}

}  // namespace kelmor::render
