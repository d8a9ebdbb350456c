// The outside launchers of the Info tab. They hand their target to the shell
// seam and never wait for it; a failure that comes back later reaches the default error report.
#include "ImageList1.h"
#include "Launchers.h"
#include "TForm1.h"
#include "cLodestar.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

void TForm1::ActionLaunchViewerUpdate() {
  SetActionState(ActionLaunchViewer, FTiffFile != nullptr, ImageIndex::Viewer);
}

void TForm1::ActionLaunchViewerExecute() {
  if (!FTiffFile)
    return;
  // After a failed open this is the path of that open, as the file object holds it. Made
  // absolute, so a name that begins with "-" cannot pass for one of xdg-open's options.
  const QString path =
      QFileInfo(QFile::decodeName(QByteArray::fromStdString(FTiffFile->FileName())))
          .absoluteFilePath();
  QPointer<TForm1> self(this);
  FSeams->ShellOpen(path, [self](int code) {
    if (self)
      self->Guard([code] { lodestar::ShowLaunchError(code); });
  });
}

void TForm1::ActionCalculatorExecute() {
  if (!FSeams->StartCalculator())
    lodestar::ShowLaunchError(lodestar::CalculatorMissingCode);
}

// A failed home page or mail launch is not reported.
void TForm1::ActionStartHomepageExecute() {
  FSeams->ShellOpen(QString::fromUtf8(lodestar::HomePageAddress), {});
}

void TForm1::Emailsupport1Click() {
  FSeams->ShellOpen(QString::fromUtf8(lodestar::SupportMailText()), {});
}
