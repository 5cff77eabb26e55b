#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <minizip/zip.h>
#include <sstream>
#include <stdexcept>

#include "export/format_writers.h"

namespace kelmor {

namespace {

std::string Number(double v) {
  char text[32];
  auto r = std::to_chars(text, text + sizeof text, static_cast<float>(v));
  return std::string(text, r.ptr);
}

std::string Hex(double c) {
  static const char digits[] = "0123456789ABCDEF";
  int v = static_cast<int>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
  return {digits[v / 16], digits[v % 16]};
}

std::string XmlText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string ModelXml(const Mesh& mesh, const std::string& name) {
  std::ostringstream x;
  x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    << "<model unit=\"millimeter\" xml:lang=\"en-US\" "
       "xmlns=\"http://schemas.microsoft.com/3dmanufacturing/core/2015/02\">\n"
    << " <metadata name=\"Title\">" << XmlText(name) << "</metadata>\n"
    << " <metadata name=\"Application\">Kelmor " KELMOR_VERSION "</metadata>\n"
    << " <resources>\n  <basematerials id=\"1\">\n";
  for (const MeshMaterial& m : mesh.materials)
    x << "   <base name=\"" << XmlText(m.name) << "\" displaycolor=\"#" << Hex(m.colour.r) << Hex(m.colour.g)
      << Hex(m.colour.b) << "FF\"/>\n";
  x << "  </basematerials>\n  <object id=\"2\" type=\"model\" pid=\"1\" pindex=\"0\" name=\"" << XmlText(name)
    << "\">\n   <mesh>\n    <vertices>\n";
  for (const Vec3& p : mesh.points)
    x << "     <vertex x=\"" << Number(p.x) << "\" y=\"" << Number(p.y) << "\" z=\"" << Number(p.z) << "\"/>\n";
  x << "    </vertices>\n    <triangles>\n";
  for (size_t t = 0; t < mesh.triangles.size(); ++t) {
    const auto& tri = mesh.triangles[t];
    x << "     <triangle v1=\"" << tri[0] << "\" v2=\"" << tri[1] << "\" v3=\"" << tri[2] << "\" pid=\"1\" p1=\""
      << mesh.triangleMaterial[t] << "\"/>\n";
  }
  x << "    </triangles>\n   </mesh>\n  </object>\n </resources>\n"
    << " <build>\n  <item objectid=\"2\"/>\n </build>\n</model>\n";
  return x.str();
}

const char* ContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">\n"
    " <Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>\n"
    " <Default Extension=\"model\" ContentType=\"application/vnd.ms-package.3dmanufacturing-3dmodel+xml\"/>\n"
    "</Types>\n";

const char* Relationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">\n"
    " <Relationship Target=\"/3D/3dmodel.model\" Id=\"rel0\" "
    "Type=\"http://schemas.microsoft.com/3dmanufacturing/2013/01/3dmodel\"/>\n"
    "</Relationships>\n";

// Zip entries carry the local time they were written (zip keeps no time zone); an
// all-zero date would read as day 0 of January 1980, which is no date at all.
zip_fileinfo Dated() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  zip_fileinfo info{};
  info.tmz_date.tm_sec = static_cast<unsigned>(local.tm_sec);
  info.tmz_date.tm_min = static_cast<unsigned>(local.tm_min);
  info.tmz_date.tm_hour = static_cast<unsigned>(local.tm_hour);
  info.tmz_date.tm_mday = static_cast<unsigned>(local.tm_mday);
  info.tmz_date.tm_mon = static_cast<unsigned>(local.tm_mon);
  info.tmz_date.tm_year = static_cast<unsigned>(std::clamp(local.tm_year + 1900, 1980, 2107));
  return info;
}

void AddEntry(zipFile zip, const char* entry, const std::string& text) {
  zip_fileinfo info = Dated();
  bool ok = zipOpenNewFileInZip(zip, entry, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                Z_DEFAULT_COMPRESSION) == ZIP_OK;
  ok = ok && zipWriteInFileInZip(zip, text.data(), static_cast<unsigned>(text.size())) == ZIP_OK;
  ok = zipCloseFileInZip(zip) == ZIP_OK && ok;
  if (!ok) throw std::runtime_error("cannot write the package entry " + std::string(entry));
}

// The package built in memory: opaque is the bytes, the stream a position in them.
struct MemoryZip {
  std::string bytes;
  ZPOS64_T position = 0;
};

voidpf ZCALLBACK OpenMemory(voidpf opaque, const void*, int) { return opaque; }
uLong ZCALLBACK ReadMemory(voidpf, voidpf stream, void* buf, uLong size) {
  auto* z = static_cast<MemoryZip*>(stream);
  const uLong n = static_cast<uLong>(std::min<ZPOS64_T>(size, z->bytes.size() - std::min<ZPOS64_T>(z->position, z->bytes.size())));
  std::memcpy(buf, z->bytes.data() + z->position, n);
  z->position += n;
  return n;
}
uLong ZCALLBACK WriteMemory(voidpf, voidpf stream, const void* buf, uLong size) {
  auto* z = static_cast<MemoryZip*>(stream);
  if (z->position + size > z->bytes.size()) z->bytes.resize(z->position + size);
  std::memcpy(z->bytes.data() + z->position, buf, size);
  z->position += size;
  return size;
}
ZPOS64_T ZCALLBACK TellMemory(voidpf, voidpf stream) { return static_cast<MemoryZip*>(stream)->position; }
long ZCALLBACK SeekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* z = static_cast<MemoryZip*>(stream);
  const ZPOS64_T base = origin == ZLIB_FILEFUNC_SEEK_SET ? 0 : origin == ZLIB_FILEFUNC_SEEK_CUR ? z->position : z->bytes.size();
  if (base + offset > z->bytes.size()) return -1;
  z->position = base + offset;
  return 0;
}
int ZCALLBACK CloseMemory(voidpf, voidpf) { return 0; }
int ZCALLBACK MemoryError(voidpf, voidpf) { return 0; }

}  // namespace

std::vector<FurtherFile> Write3mf(const Mesh& mesh, const std::string& name, const std::string& path) {
  if (mesh.triangles.empty()) throw std::runtime_error("the model has no faces to write");
  MemoryZip package;
  zlib_filefunc64_def memory{OpenMemory, ReadMemory, WriteMemory, TellMemory,
                             SeekMemory, CloseMemory, MemoryError, &package};
  zipFile zip = zipOpen2_64(path.c_str(), APPEND_STATUS_CREATE, nullptr, &memory);
  if (!zip) throw std::runtime_error("cannot create the file");
  try {
    AddEntry(zip, "[Content_Types].xml", ContentTypes);
    AddEntry(zip, "_rels/.rels", Relationships);
    AddEntry(zip, "3D/3dmodel.model", ModelXml(mesh, name));
  } catch (...) {
    zipClose(zip, nullptr);
    throw;
  }
  if (zipClose(zip, nullptr) != ZIP_OK) throw std::runtime_error("cannot finish the file");
  return {{path, std::move(package.bytes)}};
}

}  // namespace kelmor
