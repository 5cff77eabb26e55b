#include "ui/whats_new.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/bind.h"
#include "ui/keys.h"

namespace kelmor {

QString WhatsNew::notesText() {
  return QStringLiteral(R"(<h2>What's New in Kelmor )" KELMOR_VERSION R"(</h2>
<ul>
<li>Runs on Linux with Qt 6 windows; the drive lists show the mounted volumes.</li>
<li>Every run can also be made from the command line (<tt>kelmor run</tt>,
<tt>kelmor shape</tt>), with every run-time option and preference available there.</li>
<li>Output files always use a full stop as decimal separator and CR LF line ends, whatever
the desktop's language.</li>
<li>kelmor.ini is replaced in one step when preferences are saved, so an interrupted save
never leaves a damaged file.</li>
<li>Closing the viewer during a run ends the run, like its Quit button.</li>
</ul>)");
}

WhatsNew::WhatsNew() {
  setObjectName("WhatsNew");
  setWindowTitle("Kelmor - What's New");
  auto* text = new QTextBrowser;
  text->setObjectName("NotesText");
  text->setHtml(notesText());
  auto* ok = NamedButton("cmdOK", "&OK");
  QHBoxLayout* buttons = ButtonRow({}, {ok});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addLayout(buttons);
  resize(520, 360);
  connect(ok, &QPushButton::clicked, this, &QWidget::hide);
  WireKeys(this, ok, ok, nullptr);
}

}  // namespace kelmor
