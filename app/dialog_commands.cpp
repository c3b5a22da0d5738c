#include "app/dialog_commands.h"

#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>
#include <optional>

#include "app/korvane_view.h"
#include "app/qt_text.h"
#include "ui_model/history_export.h"
#include "ui_model/seed_book.h"
#include "ui_model/weights_choice.h"

namespace korvane {

namespace {

// 设定下一次的种子…: a refused entry is said in a box and the dialog stays
// open with it, to be corrected.
class SeedDialog : public QInputDialog {
 public:
  explicit SeedDialog(CKorvaneView* view) : QInputDialog(view->window()), m_view(view) {
    setWindowTitle(U(Tx::MenuSetSeed));
    setLabelText(U(Tx::SeedDialogLabel));
    setInputMode(QInputDialog::TextInput);
  }
  void done(int result) override {
    if (result == QDialog::Accepted && !ParseSeed(textValue().toStdString())) {
      m_view->ShowMessage(Tx::MsgTypeInteger);
      return;
    }
    QInputDialog::done(result);
  }

 private:
  CKorvaneView* m_view;
};

}  // namespace

DialogCommands::DialogCommands(CKorvaneView* view)
    : QObject(view),
      m_view(view),
      m_askSavePath([view](const QString& title, const QString& suggested, const QString& filter, bool appends) {
        return QFileDialog::getSaveFileName(view->window(), title, suggested, filter, nullptr,
                                            appends ? QFileDialog::DontConfirmOverwrite : QFileDialog::Options());
      }) {}

void DialogCommands::OnLoadWeights() {
  if (!m_view->Runs().MayChangeWeights()) return;
  const QString path =
      QFileDialog::getOpenFileName(m_view->window(), U(Tx::MenuLoadWeights), QDir::currentPath(), U(Tx::WeightsFilter));
  if (path.isEmpty()) return;
  // A file of several blocks: the user picks one, the last by default.
  std::optional<int> block;
  const std::vector<std::string> blocks = WeightsBlockChoices(path.toStdString());
  if (blocks.size() > 1) {
    QStringList items;
    for (const std::string& b : blocks) items << U(b);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(m_view->window(), U(Tx::ChooseBlockTitle), U(Tx::ChooseBlockLabel),
                                                 items, static_cast<int>(items.size()) - 1, false, &ok);
    if (!ok) return;
    block = static_cast<int>(items.indexOf(chosen)) + 1;
  }
  m_view->Runs().LoadWeights(path.toStdString(), block);
}

void DialogCommands::OnSaveWeights() {
  if (!m_view->Runs().MayChangeWeights()) return;
  const QString path = m_askSavePath(U(Tx::MenuSaveWeights), QDir::current().filePath(QStringLiteral("weights.txt")),
                                     U(Tx::WeightsFilter), true);
  if (!path.isEmpty()) m_view->Runs().SaveWeights(path.toStdString());
}

void DialogCommands::OnSetSeed() {
  SeedDialog dialog(m_view);
  if (dialog.exec() != QDialog::Accepted) return;
  m_view->Runs().SetNextSeed(*ParseSeed(dialog.textValue().toStdString()));
}

bool DialogCommands::Export(const QString& path, const QByteArray& bytes) {
  // Checked to the end: a full disk shows only when the buffer goes out.
  QFile file(path);
  const bool ok =
      file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush();
  file.close();
  if (ok && file.error() == QFileDevice::NoError) return true;
  m_view->ShowMessage(Tx::FileWriteError);
  return false;
}

void DialogCommands::OnExportChart() {
  const QString path = m_askSavePath(
      U(Tx::MenuExportChart), QDir::current().filePath(QStringLiteral("korvane-chart.png")), U(Tx::PngFilter), false);
  if (path.isEmpty()) return;
  // Encoded first, so the file is written and checked like any other.
  QByteArray png;
  QBuffer buffer(&png);
  if (!buffer.open(QIODevice::WriteOnly) || !m_view->ComposeScene().save(&buffer, "PNG")) {
    m_view->ShowMessage(Tx::FileWriteError);
    return;
  }
  Export(path, png);
}

void DialogCommands::OnExportHistory() {
  if (!m_view->State().LastHistory()) {
    m_view->ShowMessage(Tx::NothingToExport);
    return;
  }
  const QString path =
      m_askSavePath(U(Tx::MenuExportHistory), QDir::current().filePath(QStringLiteral("korvane-history.csv")),
                    U(Tx::HistoryFilter), false);
  if (path.isEmpty()) return;
  Export(path, QByteArray::fromStdString(
                   HistoryCsv(*m_view->State().LastHistory(), m_view->State().LastHistoryIsPlanSearch())));
}

void DialogCommands::OnOpenReportPlot() {
  const QString path =
      QFileDialog::getOpenFileName(m_view->window(), U(Tx::MenuOpenReportPlot), QDir::currentPath(), U(Tx::PngFilter));
  if (path.isEmpty()) return;
  const QPixmap plot(path);
  if (plot.isNull()) {
    m_view->ShowMessage(Tx::ReportPlotUnreadable);
    return;
  }
  // A plot from korvane-cli report --plots, shown as it is, scaled down to fit.
  QDialog box(m_view->window());
  box.setWindowTitle(QFileInfo(path).fileName());
  auto* image = new QLabel(&box);
  image->setPixmap(plot.width() > 1100 || plot.height() > 750
                       ? plot.scaled(1100, 750, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                       : plot);
  auto* layout = new QVBoxLayout(&box);
  layout->addWidget(image);
  box.exec();
}

}  // namespace korvane
