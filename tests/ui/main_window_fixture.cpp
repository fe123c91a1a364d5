#include "main_window_fixture.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include "card/maintenance.h"
#include "support/temp_folder.h"

using namespace test_support;

void MainWindowFixture::Start() {
  dialogs.Clear();
  folder = std::make_unique<TempFolder>();
  window = std::make_unique<TForm1>(dialogs);
  window->show();
}

void MainWindowFixture::Finish() {
  window->Document().Close();
  window.reset();
  folder.reset();
  QVERIFY2(dialogs.Problems().isEmpty(), qPrintable(dialogs.Problems().join(u'\n')));
  QVERIFY2(dialogs.AllAnswersUsed(), "an answer queued for a dialog was never asked for");
  QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

QString MainWindowFixture::Text(const QString& widget) const {
  if (auto* edit = Find<QLineEdit>(widget)) return edit->text();
  return Find<QLabel>(widget)->text();
}

QStringList MainWindowFixture::Lines() const {
  QStringList lines;
  for (int row = 0; row < List()->count(); ++row) lines << List()->item(row)->text();
  return lines;
}

void MainWindowFixture::ClickLine(int index) const {
  QListWidget* list = List();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(index)).center());
}

QString MainWindowFixture::Path(const QString& name) const {
  return QString::fromStdString(folder->File(name.toStdString()));
}

void MainWindowFixture::DropFile(const QByteArray& path) const {
  QMimeData data;
  data.setUrls({QUrl::fromEncoded("file://" + path.toPercentEncoding("/"))});
  const QPoint at = window->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &drop);
}

QString MainWindowFixture::OpenCard(const CardImage& card, const QString& name) {
  const QString path = Path(name);
  WriteBytes(path.toStdString(), card);
  dialogs.QueueFile(path);
  Trigger(QStringLiteral("Abrr1"));
  return path;
}

void RemoveFirstSave(TForm1& window) {
  window.Document().Edit(QStringLiteral("remoção"),
                         [](CardImage& image, CardContainer&) { RemoveSave(image, 1); });
}

CardImage StandardCard() {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {1},
                   .title = SingleByteTitle("ABC"),
                   .icon_frames = 3,
                   .region = 'E',
                   .seed = 11});
  PlaceSave(card, {.blocks = {2},
                   .title = SingleByteTitle("AB: SAVE/1"),
                   .icon_frames = 1,
                   .region = 'A',
                   .seed = 22});
  PlaceSave(card, {.blocks = {3},
                   .title = SingleByteTitle("APAGADO"),
                   .icon_frames = 1,
                   .region = 'I',
                   .removed = true,
                   .seed = 33});
  PlaceSave(card, {.blocks = {4, 5, 6},
                   .title = SingleByteTitle("TRES BLOCOS"),
                   .icon_frames = 2,
                   .region = 'A',
                   .seed = 44});
  return card;
}
