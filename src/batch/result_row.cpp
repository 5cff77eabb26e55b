#include "batch/result_row.h"

#include <nlohmann/json.hpp>

namespace kelmor {

namespace {

using Json = nlohmann::ordered_json;

template <typename T>
Json OrNull(const std::optional<T>& v) {
  return v ? Json(*v) : Json(nullptr);
}

template <typename T>
std::optional<T> Optional(const Json& j, const char* key) {
  if (!j.contains(key) || j[key].is_null()) return std::nullopt;
  return j[key].get<T>();
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// Numbers as in the JSON lines: the shortest text that reads back the same.
template <typename T>
std::string CsvNumber(const std::optional<T>& v) {
  return v ? Json(*v).dump() : std::string();
}

std::string YesNo(const std::optional<bool>& v) { return v ? (*v ? "yes" : "no") : ""; }

}  // namespace

bool RowSucceeded(const std::string& status) {
  return status == "solved" || status == "written" || status == "inexact";
}

const std::vector<std::string>& ResultColumns() {
  static const std::vector<std::string> columns = {
      "input", "folder", "status", "E", "SE", "P", "A", "iterations", "attempts", "search", "seconds",
      "files", "error", "convex", "self_intersecting", "symmetry", "edge_ratio", "off_plane", "dihedral_min",
      "dihedral_max"};
  return columns;
}

std::string RowJson(const ResultRow& r) {
  Json j;
  j["input"] = r.input;
  j["folder"] = r.folder;
  j["status"] = r.status;
  j["E"] = OrNull(r.E);
  j["SE"] = OrNull(r.SE);
  j["P"] = OrNull(r.P);
  j["A"] = OrNull(r.A);
  j["iterations"] = OrNull(r.iterations);
  j["attempts"] = OrNull(r.attempts);
  j["search"] = r.search;
  j["seconds"] = r.seconds;
  j["files"] = r.files;
  j["error"] = r.error;
  j["convex"] = OrNull(r.convex);
  j["self_intersecting"] = OrNull(r.selfIntersecting);
  j["symmetry"] = r.symmetry;
  j["edge_ratio"] = OrNull(r.edgeRatio);
  j["off_plane"] = OrNull(r.offPlane);
  j["dihedral_min"] = OrNull(r.dihedralMin);
  j["dihedral_max"] = OrNull(r.dihedralMax);
  // Invalid UTF-8 in a file name or message is replaced rather than refused.
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::optional<ResultRow> RowFromJson(const std::string& line) {
  try {
    Json j = Json::parse(line);
    if (!j.is_object() || !j.contains("input") || !j.contains("status")) return std::nullopt;
    ResultRow r;
    r.input = j["input"].get<std::string>();
    r.folder = j.value("folder", "");
    r.status = j["status"].get<std::string>();
    r.E = Optional<double>(j, "E");
    r.SE = Optional<double>(j, "SE");
    r.P = Optional<double>(j, "P");
    r.A = Optional<double>(j, "A");
    r.iterations = Optional<long>(j, "iterations");
    r.attempts = Optional<int>(j, "attempts");
    r.search = j.value("search", "");
    r.seconds = j.value("seconds", 0.0);
    if (j.contains("files")) r.files = j["files"].get<std::vector<std::string>>();
    r.error = j.value("error", "");
    r.convex = Optional<bool>(j, "convex");
    r.selfIntersecting = Optional<bool>(j, "self_intersecting");
    r.symmetry = j.value("symmetry", "");
    r.edgeRatio = Optional<double>(j, "edge_ratio");
    r.offPlane = Optional<double>(j, "off_plane");
    r.dihedralMin = Optional<double>(j, "dihedral_min");
    r.dihedralMax = Optional<double>(j, "dihedral_max");
    return r;
  } catch (const Json::exception&) {
    return std::nullopt;
  }
}

std::string RowCsv(const ResultRow& r) {
  std::string files;
  for (const std::string& f : r.files) files += (files.empty() ? "" : ";") + f;
  const std::vector<std::string> fields = {
      r.input, r.folder, r.status, CsvNumber(r.E), CsvNumber(r.SE), CsvNumber(r.P), CsvNumber(r.A),
      CsvNumber(r.iterations), CsvNumber(r.attempts), r.search,
      CsvNumber(std::optional<double>(r.seconds)),
      files, r.error, YesNo(r.convex), YesNo(r.selfIntersecting), r.symmetry, CsvNumber(r.edgeRatio),
      CsvNumber(r.offPlane), CsvNumber(r.dihedralMin), CsvNumber(r.dihedralMax)};
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + CsvField(fields[i]);
  return line;
}

}  // namespace kelmor
