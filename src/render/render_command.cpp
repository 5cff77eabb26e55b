#include "render/render_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <new>

#include "render/bounded_file.h"
#include "render/headless_context.h"
#include "render/picture.h"
#include "render/solid_look.h"
#include "render/png_file.h"
#include "render/render_options.h"

namespace kelmor::render {

namespace fs = std::filesystem;

namespace {

// Where the picture of one input goes.
std::string PicturePath(const RenderArgs& a, const std::string& input) {
  fs::path png = fs::path(input).replace_extension(".png");
  if (a.output.empty()) return png.string();
  if (a.inputs.size() == 1 && !fs::is_directory(a.output)) return a.output;
  return (fs::path(a.output) / png.filename()).string();
}

// Draws input i into its picture; 0, or 1 when it could not be read or written.
int DrawOne(const RenderArgs& a, size_t i, HeadlessContext& context, const std::array<int, 2>& size,
            const ViewAngles& view, const PictureStyle& style, std::ostream& out, std::ostream& err) {
  const std::string& input = a.inputs[i];
  SolidMesh mesh;
  if (auto e = ReadOffFile(input, mesh)) {
    err << "kelmor: " << *e << "\n";
    return 1;
  }
  // A solid file that does not belong to the OFF file is said, and the faces drawn plain.
  if (!a.solidFiles.empty())
    if (auto e = ReadSolidLookFile(a.solidFiles[i], mesh)) err << "kelmor: " << *e << "; faces drawn plain\n";
  SolidPicture picture(mesh);
  Camera camera;
  camera.rotation = ViewRotation(view);
  camera.bounds = SolidBounds(mesh);
  camera.FitSeen(mesh, size[0], size[1]);
  Image image = context.Render(picture.Draw(camera, style, size[0], size[1]), size[0], size[1]);
  const std::string path = PicturePath(a, input);
  if (auto e = WritePng(image, path)) {
    err << "kelmor: " << *e << "\n";
    return 1;
  }
  out << "pictured " << input << " -> " << path << "\n";
  return 0;
}

}  // namespace

int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"Pictures of solids from OFF files, drawn without any display.", "kelmor render"};
  RenderArgs a;
  AddRenderOptions(&app, a);
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {
      out << app.help();
      return 0;
    }
    err << "kelmor: " << e.what() << "\n";
    err << "Run 'kelmor render --help' for the options.\n";
    return 2;
  }
  auto size = ParsePictureSize(a.size);
  if (!size) {
    err << "kelmor: --size takes W or WxH, each 16 to 8192 pixels, not '" << a.size << "'\n";
    return 2;
  }
  auto view = ParseView(a.view);
  if (!view) {
    err << "kelmor: --view takes iso, x, y, z, -x, -y, -z or AZIMUTH/ELEVATION (elevation -90 to 90), not '"
        << a.view << "'\n";
    return 2;
  }
  PictureStyle style;
  style.edges = a.edges;
  if (auto bg = ParseColour(a.background)) {
    style.background = *bg;
  } else {
    err << "kelmor: --background takes #rrggbb, white, black, grey or transparent, not '" << a.background << "'\n";
    return 2;
  }
  if (a.inputs.size() > 1 && !a.output.empty() && !fs::is_directory(a.output)) {
    err << "kelmor: with several files, -o names a folder that exists, not '" << a.output << "'\n";
    return 2;
  }

  if (!a.solidFiles.empty() && a.solidFiles.size() != a.inputs.size()) {
    err << "kelmor: --solid-file is given once for each OFF file (" << a.inputs.size() << "), not "
        << a.solidFiles.size() << " times\n";
    return 2;
  }
  // Folders, FIFOs, devices and files too large to be a solid are refused before anything
  // is drawn; a missing file is told when its turn comes, as the others go on.
  for (const std::vector<std::string>* files : {&a.inputs, &a.solidFiles})
    for (const std::string& file : *files)
      if (std::error_code ec; fs::exists(file, ec))
        if (auto problem = FileProblem(file)) {
          err << "kelmor: " << (files == &a.solidFiles ? "--solid-file " : "") << *problem << "\n";
          return 2;
        }

  std::string why;
  std::unique_ptr<HeadlessContext> context = HeadlessContext::Create(why);
  if (!context) {
    err << "kelmor: no OpenGL for pictures: " << why
        << " (Mesa's software renderer comes with the Debian packages libegl-mesa0 and libgl1-mesa-dri)\n";
    return 1;
  }
  int status = 0;
  for (size_t i = 0; i < a.inputs.size(); ++i) {
    const std::string& input = a.inputs[i];
    try {
      status = std::max(status, DrawOne(a, i, *context, *size, *view, style, out, err));
    } catch (const std::bad_alloc&) {
      err << "kelmor: not enough memory to draw '" << input << "'\n";
      status = 1;
    }
  }
  return status;
}
}  // namespace kelmor::render
