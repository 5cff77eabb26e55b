#include "ui/help_ref.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/bind.h"
#include "ui/gui.h"
#include "ui/keys.h"
#include "ui/whats_new.h"

namespace kelmor {

QString HelpRef::helpText() {
  return R"(<h2>Kelmor</h2>
<p>Kelmor builds polyhedra from their topology alone. You list the faces of a solid in a
text file; Kelmor finds positions for the vertices by relaxation, pulling every edge towards
unit length and every face towards a regular polygon while the surface is inflated, and
writes the result as VRML 2.0 scenes and an OFF file, each with a report of how far the
result is from ideal.</p>

<h3>Starting a run</h3>
<ol>
<li><b>File</b> opens the file loader. Choose the input folder and file (the pattern
<tt>*.txt</tt> filters the list) and the output folder, or tick <i>Same as Input
Directory</i>. <b>Simple</b> makes a polygon, pyramid, prism or antiprism over {n/d}
without an input file.</li>
<li><b>Run</b> opens the run-time options: inflation, weakening, augmentation, highlight
and the output extras of this run. <b>OK</b> starts the run.</li>
<li>The viewer shows the model as it relaxes, with its edge and polygonal deformation.
Files are written when the model has settled.</li>
</ol>

<h3>The input file</h3>
<p>Faces are lists of vertex numbers between <tt>{</tt> and <tt>}</tt>, each face closed
by its star step as a negative number: <tt>1,5,4,0,-1,</tt> is a square, <tt>-2</tt>
closes a star polygon such as {5/2}. Text after <tt>'</tt> is a comment up to the end of
the line. Letters anywhere in a face, before its closing number, give it a code (<tt>N</tt> not regular, <tt>A</tt> augment,
<tt>t</tt> translucent, colour letters <tt>y b a g c m r w h</tt>); letters before a vertex
number flag that vertex. Starting positions may follow in brackets. Several brace blocks
make a segmented model, relaxed one segment at a time.</p>

<h3>The viewer's buttons</h3>
<table cellspacing="4">
<tr><td><b>Re-Read</b></td><td>read the input file again and start the run over</td></tr>
<tr><td><b>Graphics</b></td><td>switch drawing on or off (the run is faster without)</td></tr>
<tr><td><b>Less F1 / More F1</b></td><td>divide or multiply the triangle edge strength by 5</td></tr>
<tr><td><b>Re-do</b></td><td>a new attempt from random positions</td></tr>
<tr><td><b>Write</b></td><td>write the model as it is now</td></tr>
<tr><td><b>Quit</b></td><td>end the run without writing</td></tr>
</table>

<h3>Keys</h3>
<table cellspacing="4">
<tr><td><b>Enter</b></td><td>the window's OK or Run; on a file of the loader, runs that file</td></tr>
<tr><td><b>Escape</b></td><td>the window's Cancel; in the viewer, Quit</td></tr>
<tr><td><b>Alt</b> + underlined letter</td><td>that button or list (Alt+F, Alt+P, Alt+H, Alt+Q on the main window)</td></tr>
<tr><td><b>F1</b></td><td>this page, from any window</td></tr>
<tr><td><b>F5</b></td><td>on the main window after a run: <b>Run again</b> with the same input</td></tr>
<tr><td><b>Ctrl+Q</b></td><td>quit, from the main window</td></tr>
</table>
<p>Typing a name in a folder or file list jumps to it. The loader opens on the file of the
last run; its <b>Recent files</b> list brings back the files run lately.</p>

<h3>Preferences</h3>
<p>Force strengths, the files to write and their name suffixes, colours and display sizes
are kept in <tt>kelmor.ini</tt>. <b>Preferences</b> on the main window changes them for
good; the <b>Preferences</b> button of the run-time options changes them for the next run
only.</p>)";
}

HelpRef::HelpRef(Gui& gui) : gui_(gui) {
  setObjectName("HelpRef");
  setWindowTitle("Kelmor Help");
  auto* text = new QTextBrowser;
  text->setObjectName("HelpText");
  text->setHtml(helpText());
  auto* whatsNew = NamedButton("cmdWhatsNew", "&What's New");
  auto* close = NamedButton("cmdClose", "&Close");
  QHBoxLayout* buttons = ButtonRow({whatsNew}, {close});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addLayout(buttons);
  resize(620, 640);
  connect(whatsNew, &QPushButton::clicked, this, [this] { ShowEnabled(gui_.whatsNew()); });
  connect(close, &QPushButton::clicked, this, &QWidget::hide);
  WireKeys(this, close, close, nullptr);
}

}  // namespace kelmor
