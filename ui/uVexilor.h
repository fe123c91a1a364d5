#pragma once

#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "card/card_image.h"
#include "card/formats/card_file.h"
#include "card/formats/single_save_file.h"
#include "card/messages.h"
#include "card_document.h"
#include "readers/reader_registry.h"
#include "transfer/transfer_setup.h"
#include "transfer/user_dialogs.h"
#include "view/window_texts.h"

class QAction;
class QDropEvent;
class QMimeData;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QStatusBar;
class QTimer;
class Bevel;
class StretchedPicture;
class TForm2;

// The program's only permanent window. It owns the one card image and the state that every
// command shares; the commands are its slots, one file per group of commands.
class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(UserDialogs& dialogs, ReaderAccess readers = SystemReaders(),
                  QWidget* parent = nullptr);
  ~TForm1() override;

  // The block list's rows line up with the number labels beside it.
  static constexpr int ListRowHeight = 13;

  // The card this window holds, with its source and the history of its edits.
  CardDocument& Document() const { return *document_; }
  int IconPhase = 1;  // 1..3, never reset
  bool ReadCompleted = false;
  bool WriteCompleted = false;
  bool FormatCompleted = false;

  UserDialogs& Dialogs() const { return dialogs_; }
  const ReaderAccess& Readers() const { return readers_; }
  // Shown by "Sobre"; made once at start-up and kept for the whole run.
  void SetAboutBox(TForm2* about_box) { about_box_ = about_box; }

  // A new main window with no image, shown, deleted when it closes; beside: the window it is
  // opened from, which it then does not cover.
  static TForm1* OpenWindow(UserDialogs& dialogs, ReaderAccess readers, TForm2* about_box,
                            const QWidget* beside = nullptr);

  // What "Abrir arquivo imagem" and "Abrir arquivo de 'Save' único" do once a file is chosen;
  // also run for a file named at start-up or dropped on the window.
  void OpenImageFile(const QString& path);
  void ImportSaveFile(const QString& path);
  // A file named at start-up or dropped on the window: a single save is imported into the image
  // shown; anything else is opened as a card image, with that command's messages.
  void OpenFileFromOutside(const QString& path);

  // A card opened, read or created replaces the image, with a new history, and is shown, and
  // what the card check finds in it is listed once.
  void ShowCard(const CardImage& card, CardContainer container, const QString& source);
  // The check of the card shown, and its repair as one undo step.
  void ShowCardFindings();
  void RepairShownCard();
  // A file refused only for its header frame's check byte: offers to open it repaired.
  void OfferRepairedCopy(const CardImage& refused, const QString& path);

  // View sequences run after a command has loaded or changed the image.
  void ShowLoadedImage();
  void ShowNoImage();
  void RefreshBlockView();
  void EnableImageControls();
  void DisableImageControls();

  void FillBlockList();
  void ShowSaveDetails(int block);
  void ClearSaveDetails();
  void ResetSourceInfo();

  void BuildIconList();
  void ShowSaveIcon(int index);
  const std::vector<QImage>& ImageList2() const { return image_list2_; }

  // The application's hint handler: the long part of a "short|long" hint goes to the status bar.
  void ShowHintInStatusBar(const QString& hint);

  // The blocks of the selected lines, ascending; at least the current one.
  std::vector<int> SelectedBlocks() const;
  // The selected saves as the clipboard and a drag carry them; null after a refusal.
  QMimeData* SelectedSavesData();
  // Places the saves data carries, asking about names already on the card, as one undo step;
  // step takes what was placed. True when every save was placed.
  bool PlaceSaves(const QMimeData* data, const WindowTexts::StepTexts& step);
  // A drag of the saves at blocks has ended in action: a move removes them here, one undo step.
  void SavesDragged(const std::vector<int>& blocks, Qt::DropAction action);

  // One row of the menu table.
  struct CommandItem;

 public slots:
  void Novajanela1Click();
  void Novoarquivodeimagem1Click();
  void Abrr1Click();
  void Salvararquivoimagem1Click();
  void Sair1Click();
  void Abrirnicosave1Click();
  void Salvarnico1Click();
  void SepararPorJogo1Click();
  void DeletarSave1Click();
  void RestaurarSave1Click();
  void LimparSavesremovidos1Click();
  void AlterarlocalidadeUSAmericano1Click();
  void AlterarlocalidadeEUEuropeu1Click();
  void AlterarlocalidadeJPJapons1Click();
  void Salvarcone1Click();
  void Repararcartao1Click();
  void TrocarIcone1Click();
  void Copiar1Click();
  void Recortar1Click();
  void Colar1Click();
  void RenomearSave1Click();
  void Comentario1Click();
  void LerMemoryCard1Click();
  void GravarMemoryCard1Click();
  void FormatarMemoryCard1Click();
  void PocketStationInfo1Click();
  void PocketStationBios1Click();
  void PocketStationRelogio1Click();
  void Sobre1Click();
  void ListBox1Click();
  void Timer1Timer();
  // The PocketStation viewer icon's own animation, at its own pace.
  void TimerPocketStationTimer();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void FormCreate();
  void CreateBody();
  void CreateMenuAndToolBar();
  void CreateStatusBar();
  void SetImageControlsEnabled(bool enabled);
  void CreatePocketStationMenu(QMenu* card_menu);
  // The monochrome icon of the selected save when it is a PocketStation program.
  void ShowPocketStationIcon(int block);
  // The serial reader the PocketStation commands go through; nothing when the user cancelled.
  std::optional<ReaderEntry> ChoosePocketStationReader();
  QAction* AddCommand(QMenu* menu, const CommandItem& item);
  void AddUndoCommands(QMenu* edit_menu);

  // Runs a command so that an input/output failure is reported here, before it could unwind
  // through the toolkit's own frames. False when such a failure was reported.
  bool RunCommand(const std::function<void()>& command);
  void TakeBackFocus();
  // The window whose boxes show the card operations' messages: the one running a command, else
  // the active one, else the newest.
  static TForm1* MessageWindow();

  std::optional<QString> RunFileDialog(FileDialogRequest& dialog);
  int SelectedIndex() const;
  int SelectedBlock() const { return SelectedIndex() + 1; }
  void SelectLine(int index);
  // The selected block when it starts a save in use; otherwise 0, after the refusal is shown.
  int SelectedSaveStart();
  // The maintenance commands: ask, change the image as one undo step named step, refresh even
  // after a refusal.
  void RunMaintenance(const QString& question, const QString& step,
                      const CardDocument::EditFunction& edit);
  // Runs edit as one undo step named step; after a refusal the view shows the image as it is.
  void EditImage(const QString& step, const CardDocument::EditFunction& edit);
  void ChangeRegion(const QString& question, RegionCode region);
  // The selected block's save name for a step's name; empty for a block that is not a save's.
  QString SelectedSaveName() const;
  // Writes the image where it is kept, asking for a file for an image read from a card; true
  // when it was written.
  bool SaveImage();
  bool SaveImageAs();
  // Before the image is replaced or the window closes: asks whether to save unsaved edits; true
  // when the image may go.
  bool MayDiscardImage();
  void ShowTitle();
  // What the file in use held when it was opened or last saved here, and the question before
  // writing over it when it holds something else now.
  void RememberSourceContent();
  bool SourceUnchangedOrReplaceConfirmed();
  // "Abrir arquivo de 'Save' único" with a card image: the user picks one of its saves.
  void ImportFromOtherCard(const std::string& path);
  // The name the user gives a raw save whose file name carries none; nothing when cancelled.
  std::optional<std::string> AskRawSaveName(const std::string& path);
  // Places saves, asking before one replaces a save of the same name, as one undo step.
  bool ImportSavesAsStep(const QString& step, const std::vector<SaveContents>& saves);
  // The selected lines that start a save in first_state; of one line, that line whatever it is,
  // so that its command refuses it with its own message.
  std::vector<int> SelectedSavesInState(uint32_t first_state) const;
  // The saves that start at blocks, each with its comment.
  std::vector<SaveContents> SavesAt(const std::vector<int>& blocks) const;
  void RemoveSaves(const std::vector<int>& blocks, const QString& step);
  void StartSavesDrag();
  bool AcceptsSaves(const QDropEvent* event) const;
  void DropSaves(QDropEvent* event);
  // "Salvar arquivo de 'Save' único " with several saves: each under its proposed name in a
  // folder the user chooses.
  void ExportSavesToFolder(const std::vector<int>& blocks);

  UserDialogs& dialogs_;
  CardDocument* document_ = nullptr;
  std::optional<uint64_t> source_stamp_;
  ReaderAccess readers_;
  TForm2* about_box_ = nullptr;
  bool hint_handler_installed_ = false;
  std::vector<QIcon> image_list1_;
  std::vector<QImage> image_list2_;

  FileDialogRequest OpenDialog1;
  FileDialogRequest SaveDialog1;
  FileDialogRequest OpenDialog2;
  FileDialogRequest SaveDialog2;
  FileDialogRequest SaveDialog3;
  FileDialogRequest OpenDialogIcone;
  FileDialogRequest SaveDialogBios;
  QString last_folder_;  // empty until a file dialog was answered

  QWidget* body_ = nullptr;
  QWidget* ToolBar1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* status_panel_ = nullptr;
  QTimer* Timer1 = nullptr;

  QAction* Novajanela1 = nullptr;
  QAction* Novoarquivodeimagem1 = nullptr;
  QAction* Abrr1 = nullptr;
  QAction* Salvararquivoimagem1 = nullptr;
  QAction* Abrirnicosave1 = nullptr;
  QAction* Salvarnico1 = nullptr;
  QAction* SepararPorJogo1 = nullptr;
  QAction* Sair1 = nullptr;
  QAction* DeletarSave1 = nullptr;
  QAction* RestaurarSave1 = nullptr;
  QAction* LimparSavesremovidos1 = nullptr;
  QAction* AlterarlocalidadeUSAmericano1 = nullptr;
  QAction* AlterarlocalidadeEUEuropeu1 = nullptr;
  QAction* AlterarlocalidadeJPJapons1 = nullptr;
  QAction* Salvarcone1 = nullptr;
  QAction* Repararcartao1 = nullptr;
  QAction* TrocarIcone1 = nullptr;
  QAction* Copiar1 = nullptr;
  QAction* Recortar1 = nullptr;
  QAction* Colar1 = nullptr;
  QAction* RenomearSave1 = nullptr;
  QAction* Comentario1 = nullptr;
  QAction* LerMemoryCard1 = nullptr;
  QAction* GravarMemoryCard1 = nullptr;
  QAction* FormatarMemoryCard1 = nullptr;
  QMenu* PocketStation1 = nullptr;
  QAction* PocketStationInfo1 = nullptr;
  QAction* PocketStationBios1 = nullptr;
  QAction* PocketStationRelogio1 = nullptr;
  QAction* Sobre1 = nullptr;
  QAction* undo_action_ = nullptr;
  QAction* redo_action_ = nullptr;

  QGroupBox* GroupBox1 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QListWidget* ListBox1 = nullptr;
  std::vector<QLineEdit*> detail_edits_;  // Edit1 .. Edit7
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QLineEdit* Edit5 = nullptr;
  QLineEdit* Edit6 = nullptr;
  QLineEdit* Edit7 = nullptr;
  Bevel* Bevel1 = nullptr;
  StretchedPicture* Image1 = nullptr;
  StretchedPicture* ImagePocketStation = nullptr;
  QTimer* TimerPocketStation = nullptr;
  std::vector<QImage> pocketstation_frames_;
  int pocketstation_block_ = 0;  // whose frames those are; 0: none
  std::size_t pocketstation_phase_ = 0;
  QLabel* Label8 = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* Label10 = nullptr;
};
