#pragma once
#include <QDialog>

namespace korvane {

// "关于 Korvane": icon, version line, a short description and 确定.
class CAboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDialog(QWidget* parent = nullptr);
};

}  // namespace korvane
