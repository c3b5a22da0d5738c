#pragma once
#include <QPointer>
#include <QString>
#include <vector>

class QWidget;
class QMessageBox;

namespace korvane {

// Shows the program's modal messages. Replaceable, so tests can record the
// texts and close every box at once.
class IMessagePresenter {
 public:
  virtual ~IMessagePresenter() = default;
  // Returns when the user has closed the box.
  virtual void Show(QWidget* parent, const QString& text) = 0;
  // Closes every box still open (the window is going away).
  virtual void CloseAll() = 0;
};

// A QMessageBox with an OK button, titled like the program.
class BoxPresenter : public IMessagePresenter {
 public:
  void Show(QWidget* parent, const QString& text) override;
  void CloseAll() override;

 private:
  std::vector<QPointer<QMessageBox>> m_open;
};

}  // namespace korvane
