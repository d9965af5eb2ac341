// A main window with a small menu bar and one 20 ms timer that does nothing:
// what any Qt 6 host program that polls its port every 20 ms costs at least.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("bare_window"));  // the window's class
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("bare_window"));
  QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Quit"), &app, &QApplication::quit);
  window.menuBar()->addMenu(QStringLiteral("&Help"));
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [] {});
  poll.start();
  window.resize(678, 684);
  window.show();
  return QApplication::exec();
}
