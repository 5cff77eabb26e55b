// The JavaScript face of the engine, built only to WebAssembly: one call that reads the
// page's input, relaxes it and hands back plain objects, and calls back with figures and
// frames while it runs. Everything it does beyond translating values is in page_*.cpp,
// which the native tests cover.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "web/page_input.h"
#include "web/page_mesh.h"
#include "web/page_run.h"

namespace kelmor {

namespace {

using emscripten::val;

template <typename T>
val TypedArray(const std::vector<T>& v) {
  // A view on the wasm heap is valid only until the heap grows: copy it at once.
  return val::global(std::is_same_v<T, float> ? "Float32Array" : "Int32Array")
      .new_(emscripten::typed_memory_view(v.size(), v.data()));
}

val Bytes(const std::string& bytes) {
  return val::global("Uint8Array")
      .new_(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())));
}

val MeshObject(const SolutionSnapshot& s) {
  const PageMesh m = PageMeshOf(s);
  val o = val::object();
  o.set("positions", TypedArray(m.positions));
  o.set("colours", TypedArray(m.colours));
  o.set("triangleFace", TypedArray(m.triangleFace));
  o.set("outlines", TypedArray(m.outlines));
  o.set("faces", m.faces);
  return o;
}

bool Has(const val& o, const char* key) { return o[key].typeOf().as<std::string>() != "undefined"; }

template <typename T>
void Read(const val& o, const char* key, T& to) {
  if (Has(o, key)) to = o[key].as<T>();
}

Options OptionsOf(const val& o) {
  Options options;
  if (Has(o, "mode")) {
    const std::string mode = o["mode"].as<std::string>();
    options.mode = mode == "once" ? RunMode::Once : mode == "weaken" ? RunMode::Weaken : RunMode::Repeat;
  }
  if (Has(o, "inflation")) options.inflation = static_cast<Inflation>(o["inflation"].as<int>());
  Read(o, "weakenLimit", options.weakenLimit);
  Read(o, "globalLimit", options.globalLimit);
  Read(o, "isomorphByNumbering", options.isomorphByNumbering);
  Read(o, "allowCoincident", options.allowCoincident);
  Read(o, "confineToXY", options.confineToXY);
  Read(o, "dateText", options.dateText);
  Read(o, "solutions", options.solutions);
  Read(o, "maxAttempts", options.maxAttempts);
  Read(o, "timeLimitSeconds", options.timeLimitSeconds);
  if (Has(o, "maxIterations")) options.maxIterations = static_cast<long>(o["maxIterations"].as<double>());
  // Seeds beyond 2^53 do not survive a JavaScript number; the page offers whole numbers.
  if (Has(o, "seed")) options.seed = static_cast<uint64_t>(o["seed"].as<double>());
  return options;
}

PageCallbacks CallbacksOf(val js) {
  PageCallbacks c;
  c.figures = [js](const DrawFigures& f) {
    val o = val::object();
    o.set("E", f.EdgeDef);
    o.set("P", f.PolyDef);
    o.set("iteration", static_cast<double>(f.iteration));
    o.set("attempt", f.attempt);
    o.set("inflation", f.ExpandOpt);
    js.call<void>("figures", o);
  };
  c.shape = [js](const SolutionSnapshot& s) { js.call<void>("shape", MeshObject(s)); };
  c.message = [js](const std::string& text) { js.call<void>("message", text); };
  c.buttons = [js]() { return js.call<val>("buttons").as<unsigned>(); };
  return c;
}

val SolutionObject(const Solution& s, const SolutionSnapshot* shape) {
  val o = val::object();
  if (shape) o.set("mesh", MeshObject(*shape));
  o.set("name", s.name);
  o.set("E", s.E);
  o.set("P", s.P);
  if (s.SE) o.set("SE", *s.SE);
  if (s.A) o.set("A", *s.A);
  o.set("iterations", static_cast<double>(s.iterations));
  o.set("attempts", s.attempts);
  o.set("isomorph", s.isomorph);
  val files = val::array();
  for (const File& f : s.files) {
    val file = val::object();
    file.set("name", f.name);
    file.set("bytes", Bytes(f.bytes));
    files.call<void>("push", file);
  }
  o.set("files", files);
  return o;
}

// kind: "text", "file" or "conway". Returns {error} when the input or the options are
// refused, otherwise {outcome, messages, solutions}.
val Relax(const std::string& kind, const std::string& text, const std::string& name, val options, val callbacks) {
  val out = val::object();
  try {
    const PageInputKind k = kind == "file" ? PageInputKind::File : kind == "conway" ? PageInputKind::Conway : PageInputKind::Text;
    const Topology topology = PageTopology(k, text, name);
    const double frameMillis = Has(options, "frameMillis") ? options["frameMillis"].as<double>() : 33;
    const PageResult page = PageSolve(topology, OptionsOf(options), CallbacksOf(callbacks), frameMillis);
    const SolveResult& r = page.result;
    static const char* outcomes[] = {"written", "ended", "abandoned"};
    out.set("outcome", std::string(outcomes[static_cast<int>(r.outcome)]));
    val messages = val::array();
    for (const std::string& m : r.messages) messages.call<void>("push", m);
    out.set("messages", messages);
    val solutions = val::array();
    for (size_t i = 0; i < r.solutions.size(); ++i)
      solutions.call<void>("push", SolutionObject(r.solutions[i], i < page.shapes.size() ? &page.shapes[i] : nullptr));
    out.set("solutions", solutions);
  } catch (const ApiError& e) {
    out.set("error", std::string(e.what()));
  } catch (const std::exception& e) {
    out.set("error", "Kelmor stopped: " + std::string(e.what()));
  }
  return out;
}

}  // namespace

EMSCRIPTEN_BINDINGS(kelmor_page) { emscripten::function("relax", &Relax); }

}  // namespace kelmor
