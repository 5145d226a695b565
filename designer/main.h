#pragma once

#include "designer/formats/ProjectXml.h"
#include "designer/formats/StoredElementIndex.h"
#include "model/ObjectList.h"

#include <QDomDocument>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QGroupBox;
class QImage;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QStandardItemModel;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTableWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QLineEdit;
class QCheckBox;
class TAbout;
class TDialogs;
class TFlashElement;
class TFormPaint;
class TFormPrefInfo;
class TFormProp;
class TShockwaveFlash;
class TValueListEditor;

// The designer's main window: the stage with its overlay, the page and object lists, the
// repository grid, the property panels, the driver and event lists, the menus and actions.
// It owns the project state; every handler of the program is a member, implemented in one
// .cpp per concern.
//
// Handlers take their sender like the actions that run them (nullptr when called directly).
// Key handlers receive Qt key codes; setting Key to 0 keeps the key from the focused control.
class TFormVistaloom : public QMainWindow {
  Q_OBJECT
public:
  // Builds the window and its actions; the project state is set up by FormCreate.
  // ExeDir is the program's folder with a trailing "/", Args the command-line arguments
  // without the program name, Dialogs the modal questions (not owned).
  TFormVistaloom(const QString& ExeDir, const QStringList& Args, TDialogs* Dialogs,
                 QWidget* Parent = nullptr);
  ~TFormVistaloom() override;

  // Project state, in declaration order.
  double FScaleX = 1.0;
  double FScaleY = 1.0;
  QImage* FStageCanvas = nullptr; // the stage's drawing layer, composited over the stage
  QString FProjectFileName;
  QString FRepositoryDir; // with a trailing "/"
  QString FServerIP;
  bool FShiftDown = false;
  bool FApplyStoredAttributes = false;
  bool FCtrlDown = false;
  double FStageWidth = 0;
  double FStageHeight = 0;
  qint32 FHistoryCount = 0;
  bool FUserAdded = false;
  TObjectList FElements;
  QDomNode FStoredEntitiesNode; // null: none
  QString FExeDir;              // with a trailing "/"
  bool FDragging = false;
  qint32 FLastLevel = 100;

  // Owns every element made during the run; FElements only points into it.
  std::vector<std::unique_ptr<TFlashElement>> FElementStore;
  TDialogs* FDialogs = nullptr;
  QStringList FArgs;
  // The elements the interface import made: their clips' "load" applies nothing stored.
  QSet<const TFlashElement*> FImportedElements;

  // Rubber band corners (Left, Top) and (Right, Bottom) as drawn; never normalised.
  // (0, 0, 0, 0) means no band.
  static constexpr QRect NoRubberBand{QPoint(0, 0), QPoint(0, 0)};
  QRect RubberBand = NoRubberBand;
  // The stage's screen position and widget, read by the debug mouse hook.
  int StageOriginX = 0;
  int StageOriginY = 0;
  QWidget* StageWindowHandle = nullptr;

  // The other windows, created once by CreateForms. The overlay is freed when the main
  // window closes and is nullptr from then on.
  TFormPaint* FormPaint = nullptr;
  TFormProp* FormProp = nullptr;
  TAbout* About = nullptr;
  TFormPrefInfo* FormPrefInfo = nullptr;

  QDomDocument XMLDocument;
  // What the last project write put into XMLDocument, so the next one rebuilds only changes.
  // Emptied before anything else replaces XMLDocument's tree: its nodes must go first.
  TXmlWrittenTree FWrittenProject;
  TXmlWrittenTree FWrittenInterface; // the same for Create XML
  // The element nodes of XMLDocument's "entities" by level, for the clips' "load" events.
  TStoredElementIndex FStoredElements;
  QDomDocument XMLLoad;
  QDomDocument XMLDocumentDrivers;

  // Layout, by component name.
  QWidget* Panel4 = nullptr;
  QSplitter* Splitter1 = nullptr;
  QWidget* PanelPropery = nullptr;
  QWidget* PanelProperty = nullptr;
  QTabWidget* PageControl3 = nullptr;
  QWidget* TSProp = nullptr;
  TValueListEditor* ValueListEditor = nullptr;
  QWidget* TSEvents = nullptr;
  QGroupBox* PanelObjectoption = nullptr;
  TValueListEditor* VLEProp = nullptr;
  QGroupBox* PanelFlashSuffiz = nullptr;
  QPushButton* Button9 = nullptr;
  QPushButton* Button10 = nullptr;
  TValueListEditor* VLEFlashSuffix = nullptr;
  QWidget* PanelMain = nullptr;
  QTabWidget* PCMain = nullptr;
  QWidget* TSDesign = nullptr;
  QWidget* PanelFlash = nullptr;
  TShockwaveFlash* ShockwaveFlash = nullptr;
  QWidget* TabSheet8 = nullptr;
  QListWidget* ListBoxDrivers = nullptr;
  QListWidget* ListBoxFunctions = nullptr;
  TValueListEditor* VEDriver = nullptr;
  QToolButton* Button11 = nullptr;
  QToolButton* Button12 = nullptr;
  QListWidget* ListBoxEvents = nullptr;
  QWidget* Panel12 = nullptr;
  QWidget* PanelDraw = nullptr;
  QWidget* PanelObjects = nullptr;
  QTabWidget* PageControl = nullptr;
  QWidget* TSObjects = nullptr;
  QListWidget* ListBoxItem = nullptr;
  QListWidget* LBPages = nullptr;
  QToolButton* SpeedButtonDelPage = nullptr;
  QToolButton* SpeedButtonUp = nullptr;
  QToolButton* SpeedButtonDown = nullptr;
  QToolButton* SpeedButtonInsPage = nullptr;
  QWidget* TSElements = nullptr;
  TShockwaveFlash* SFPreview = nullptr;
  QTableWidget* SGElements = nullptr;
  QWidget* TabSheetAll = nullptr;
  QTableView* DBGrid1 = nullptr;
  QStandardItemModel* DataObjects = nullptr; // the in-memory table behind DBGrid1
  QWidget* TabSheet2 = nullptr;
  QListWidget* LBHistory = nullptr;
  QWidget* Panel14 = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget* TSAlign = nullptr;
  QWidget* TSInfo = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QToolBar* ToolBar2 = nullptr;
  QWidget* Panel3 = nullptr;
  QTabWidget* PageControl2 = nullptr; // debug pages
  QWidget* TSTest2 = nullptr;
  QPlainTextEdit* Memo1 = nullptr; // FSCommand log
  QPushButton* Button8 = nullptr;
  QPushButton* Button2 = nullptr;
  QWidget* TSts2 = nullptr;
  QLabel* Image1 = nullptr;
  QWidget* PanelDrow = nullptr;
  QWidget* TabSheet7 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button7 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QLineEdit* Edit6 = nullptr;
  QWidget* Panel2 = nullptr; // never shown
  QLabel* Label1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QLineEdit* Edit5 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button6 = nullptr;
  QPushButton* Button1 = nullptr;
  QStatusBar* StatusBar = nullptr;
  std::array<QLabel*, 3> StatusBarPanels{};
  QMenu* MainMenuFile = nullptr;
  QMenu* MainMenuEdit = nullptr;
  QMenu* MainMenuObjects = nullptr;
  QMenu* MainMenuPages = nullptr;
  QMenu* MainMenuXML = nullptr;
  QMenu* MainMenuTools = nullptr;
  QMenu* MainMenuHelp = nullptr;
  QAction* AboutItem = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* TestItem = nullptr;

  // Actions of ActionList1.
  QAction* AlignLeft = nullptr;
  QAction* AlignRight = nullptr;
  QAction* AlignCenter = nullptr;
  QAction* AlignTopCenter = nullptr;
  QAction* AlignTop = nullptr;
  QAction* AlignBottom = nullptr;
  QAction* AlignVert = nullptr;
  QAction* AlignH = nullptr;
  QAction* AllClose = nullptr;
  QAction* New = nullptr;
  QAction* Load = nullptr;
  QAction* Reopen = nullptr;
  QAction* Save = nullptr;
  QAction* SaveAs = nullptr;
  QAction* ProjectPref = nullptr;
  QAction* SaveCurrentRepository = nullptr;
  QAction* ClearAll = nullptr;
  QAction* CreateXML = nullptr;
  QAction* SaveXML = nullptr;
  QAction* SaveToFtp = nullptr;
  QAction* LoadFromXML = nullptr;
  QAction* CreatePreview = nullptr;
  QAction* Addpage = nullptr;
  QAction* DelPage = nullptr;
  QAction* PageUP = nullptr;
  QAction* PageDown = nullptr;
  QAction* DeleteObject = nullptr;
  QAction* Deselect = nullptr;
  QAction* Duplicate = nullptr;
  QAction* SendBackword = nullptr;
  QAction* BringForward = nullptr;
  QAction* BringToFront = nullptr;
  QAction* SendToBack = nullptr;
  QAction* AddOnEvent = nullptr;
  QAction* DeleteEvent = nullptr;

  // Enables Action and runs Handler (with the action as sender) when it triggers; an
  // exception from the handler goes to the default error box.
  void ConnectAction(QAction* Action, void (TFormVistaloom::*Handler)(QObject*));
  // A slot that runs Handler with Sender as its sender through Guarded.
  std::function<void()> GuardedSlot(void (TFormVistaloom::*Handler)(QObject*), QObject* Sender);
  // Runs Work; an exception goes to the default error box and the program goes on.
  void Guarded(const std::function<void()>& Work);

  // Action handlers.
  void AlignLeftExecute(QObject* Sender = nullptr);
  void AlignVertExecute(QObject* Sender = nullptr);
  void AlignHExecute(QObject* Sender = nullptr);
  void AllCloseExecute(QObject* Sender = nullptr);
  void NewExecute(QObject* Sender = nullptr);
  void LoadExecute(QObject* Sender = nullptr);
  void ReopenExecute(QObject* Sender = nullptr);
  void SaveExecute(QObject* Sender = nullptr);
  void SaveAsExecute(QObject* Sender = nullptr);
  void ProjectPrefExecute(QObject* Sender = nullptr);
  void SaveCurrentRepositoryExecute(QObject* Sender = nullptr);
  void CreateXMLExecute(QObject* Sender = nullptr);
  void SaveXMLExecute(QObject* Sender = nullptr);
  void SaveToFtpExecute(QObject* Sender = nullptr);
  void LoadFromXMLExecute(QObject* Sender = nullptr);
  void CreatePreviewExecute(QObject* Sender = nullptr);
  void AddpageExecute(QObject* Sender = nullptr);
  void DelPageExecute(QObject* Sender = nullptr);
  void PageUPExecute(QObject* Sender = nullptr);
  void PageDownExecute(QObject* Sender = nullptr);
  void DeleteObjectExecute(QObject* Sender = nullptr);
  void DeselectExecute(QObject* Sender = nullptr);
  void DuplicateExecute(QObject* Sender = nullptr);
  void SendBackwordExecute(QObject* Sender = nullptr);
  void BringForwardExecute(QObject* Sender = nullptr);
  void BringToFrontExecute(QObject* Sender = nullptr);
  void SendToBackExecute(QObject* Sender = nullptr);
  void AddOnEventExecute(QObject* Sender = nullptr);
  void DeleteEventExecute(QObject* Sender = nullptr);

  // Window events.
  void FormCreate(QObject* Sender = nullptr);
  void FormShow(QObject* Sender = nullptr);
  void FormResize(QObject* Sender = nullptr);
  void FormClose(QObject* Sender = nullptr);
  void PCMainChange(QObject* Sender = nullptr);
  // The end of an interactive move or resize of the window.
  void WMExitSizeMove();
  void FormKeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);
  void FormKeyUp(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);
  void AboutItemClick(QObject* Sender = nullptr);
  void testClick(QObject* Sender = nullptr);

  // Mouse over the stage, delivered by the overlay in stage-control pixels.
  void ShockwaveFlashMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                               int X, int Y);
  void ShockwaveFlashMouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y);
  void ShockwaveFlashMouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                             int X, int Y);

  // Status bar, stage and background movie.
  void ShowFileNameInStatus();
  QString StatusText(int Panel) const;
  void UpdateStageLayout();
  void LoadBackgroundMovie(const QString& Path);
  // Empties the stage and plays Path on it, so the movie starts afresh even when it is already
  // shown; lays the stage out again and drops the rubber band.
  void ShowStageMovie(const QString& Path);

  // Repository grid.
  void FindFilesByExt(const QString& Dir, QStringList& List, const QString& Ext);
  void LoadRepository(const QString& Dir);
  // The clip file of a data row: its folder, its name and ".swf" (on a case-sensitive file
  // system, the existing file whose extension differs only in case).
  QString RowClipFile(int Row) const;
  // The text of a repository grid cell: column 0 holds the clip's name without extension,
  // column 1 its folder; "" for an empty cell.
  QString RepositoryCell(int Row, int Column) const;
  void SGElementsSelectCell(QObject* Sender, int ACol, int ARow, bool& CanSelect);

  // Pages: "all" alone and selected, Objects list empty.
  void ResetPageList();
  // The page click: shows the selected page's elements and fills the Objects list.
  void LBPagesClick(QObject* Sender = nullptr);

  // Width of PanelPropery in Vistaloom.ini of the current directory.
  void RestoreFormStorage();
  void SaveFormStorage();

  // Projects, element creation, clip events and history
  // Connects the project and Duplicate actions, the double clicks of the repository grid and
  // the history list, and the stage's FSCommand; called once by the constructor.
  void ConnectProjectActions();

  // Writes the project document into Stream; XMLDocument keeps the tree written.
  void WriteProjectXml(class QIODevice* Stream);
  // Phase one of a load, run by the loading dialog Sender: reads Stream into XMLDocument,
  // recreates every element from the repository on its stored level and loads its clip.
  void LoadProjectFromStream(class TFormLoading* Sender, QIODevice* Stream);
  // Loads Stream inside a new modal loading dialog; true when the load ran to its end (not
  // cancelled, no error). Any other load leaves the project unnamed.
  bool LoadProjectWithProgress(QIODevice* Stream);
  // Copies the project file to its ".bak" twin.
  void BackupProjectFile();

  // A new element owned by FElementStore, measured from MovieFile; not yet in FElements.
  TFlashElement* CreateElement(int Level, const QString& MovieFile);
  // The element of the first repository row whose name matches TypeName (case and extension
  // ignored), appended to FElements; nullptr when no row matches.
  TFlashElement* CreateElementFromRepository(int Level, const QString& TypeName);
  // An element for a stored one whose clip is not in the repository: it keeps what the project
  // stores for it (its clip file named as it would be in the repository folder) and is
  // appended to FElements, so a save writes it back until the user deletes it.
  TFlashElement* CreateUnplacedElement(int Level, const QString& TypeName);
  // Raises FLastLevel by one and returns it; throws when the highest level is handed out.
  int TakeNextLevel();
  // Adds the current repository row's clip as a new element on the selected page.
  void SGElementsDblClick(QObject* Sender = nullptr);

  void ShockwaveFlashFSCommand(const QString& Command, const QString& Args);
  // The last element of FElements whose object id equals Name, or nullptr.
  TFlashElement* FindElementByLevelName(const QString& Name) const;
  // The node XMLDocument holds for Level (the last match), or a null element; remembers the
  // "entities" node in FStoredEntitiesNode.
  QDomElement FindStoredElementNode(int Level);
  // The second phase of a load: hides the clip and applies what is stored for its level.
  void ApplyStoredAttributes(TFlashElement* E);
  // Refreshes the selected page (LBPagesClick) once the events queued so far have run, so that
  // many clips reporting in a row (an import of thousands) rebuild the Objects list once.
  void RequestPageRefresh();

  // Records a step: a snapshot of the project after it, numbered, in LBHistory.
  void PushHistory(const QString& Description);
  // Loads the snapshot of the selected history entry as the project.
  void RestoreHistory();
  void LBHistoryDblClick(QObject* Sender = nullptr);

  // Pages, selection and properties
  // Connects the page and object actions, the page and Objects lists, the property grids and
  // the all-objects table; called once by the constructor.
  void ConnectSelectionActions();
  // Runs the page click on every click in LBPages and on every change of its current row.
  void ConnectPageList();

  // Selects the page named Name (A to Z folded, the last match wins) or appends it and
  // selects it; true when it appended. Runs no page click.
  bool SelectOrAddPage(const QString& Name);
  void LBPagesDblClick(QObject* Sender = nullptr);
  // The text of the page selected in LBPages; "" when none is.
  QString SelectedPageName() const;
  // Every page name of LBPages in list order, "all" first.
  QStringList PageNames() const;
  // Selects a row of LBPages as the program does, without running the page click.
  void SelectPageRow(int Row);
  // Exchanges the texts of two rows of LBPages and selects Other.
  void SwapPageWith(int Row, int Other);

  // The element of the Objects list item at Index; the items of the selected ones in list
  // order.
  TFlashElement* ListBoxElement(int Index) const;
  QList<TFlashElement*> SelectedListBoxElements() const;

  // Mouse state over the stage, in stage-control pixels.
  bool StageMouseDown = false;
  bool RubberBandShown = false;
  QPoint DragOrigin;
  QPoint DragOffset; // pointer minus DragOrigin while dragging, else (0, 0)

  void DrawSelectionFrame(TFlashElement* E);
  // Draws E's frame on the drawing layer without showing it yet; true when it drew.
  bool PaintSelectionFrame(TFlashElement* E);
  // Repaints the stage and frames the flagged elements of the Objects list, whose item
  // selection follows the flags; shows the last one's properties when asked.
  void RefreshSelection(bool ShowProperties);
  void RefreshSelectionAndProperties();
  // Moves the elements selected in the Objects list by pixels.
  void MoveSelectionBy(double DX, double DY);
  // XOR outline on the stage's drawing layer: drawing the same rectangle twice erases it.
  void DrawRubberBand(const QRect& R);
  void ClearRubberBand();
  void SelectElementsInRect(QPoint P1, QPoint P2);
  void ListBoxItemClick(QObject* Sender = nullptr);

  // Fills the property panel from E, or hides it for none.
  void ShowElementProperties(TFlashElement* E);
  // Applies one key and value to every element selected in the Objects list; with Suffix to
  // their flash-suffix tables.
  void ApplyPropertyToSelection(bool Suffix, const QString& Key, const QString& Value);
  void ApplyElementProperty(TFlashElement* E, const QString& Key, const QString& Value);
  void ValueListEditorValidate(TValueListEditor* Sender, const QString& KeyName,
                               const QString& KeyValue);
  void ValueListEditorKeyDown(TValueListEditor* Sender, int Key);
  void Button9Click(QObject* Sender = nullptr);
  void Button10Click(QObject* Sender = nullptr);
  void TabSheetAllShow(QObject* Sender = nullptr);

  // Caption panels
  // The surface LoadTab places its panels on; nothing in the program assigns it.
  QWidget* FPanelContainer = nullptr;
  // Places one caption panel per node on FPanelContainer, at the node's attributes "x" and
  // "y"; selecting a panel shows its property text. Without a container nothing is placed.
  void LoadTab(const QDomNodeList& Nodes);
  // Fills the Properties grid with the property text of Sender when it is a caption panel;
  // any other Sender leaves the grid as it is.
  void SelectElement(QObject* Sender);

  // Alignment and z-order
  // Connect the align and the z-order actions; called once by the constructor.
  void ConnectAlignActions();
  void ConnectZOrderActions();
  // Spreads the elements selected in the Objects list with equal gaps along x or y.
  void DistributeSelection(bool Horizontally);
  // The Objects list's current row when it is the only item selected and has a neighbour
  // before it (Backward) or after it; -1 otherwise.
  int ZOrderCurrentRow(bool Backward) const;
  // Exchanges the current item's element with the list neighbour Step rows away: places in
  // FElements and levels; both clips are loaded again.
  void SwapWithListNeighbour(int Step);
  // Moves the current item's element to the top (ToFront) or bottom of FElements, records
  // the step and reloads the project so the levels follow the new order.
  void MoveToEndAndReload(bool ToFront);

  // Drivers and event binding
  // Connects the Actions tab's lists and actions; called once by the constructor.
  void ConnectDriverActions();
  // Fills Target with the names of all drivers (empty DriverName) or with the commands of the
  // driver DriverName, from "./drivers.xml" parsed at the first listing that reads it.
  void LoadDriverList(QListWidget* Target, const QString& DriverName);
  void ListBoxDriversClick(QObject* Sender = nullptr);
  void ListBoxFunctionsClick(QObject* Sender = nullptr);
  // Makes the lines of ListBoxEvents the OnExecute text of the elements selected in the
  // Objects list.
  void ApplyEventsToSelection();

  // Interface export and publishing
  // Connects Create XML, Save XML and Save XML to Ftp and creates the FTP client; called
  // once by the constructor.
  void ConnectExportActions();
  // Found receives the last direct child of Node whose attribute AttrName reads Value, or a
  // null node.
  void FindChildByAttribute(const QDomNode& Node, const QString& AttrName, const QString& Value,
                            QDomNode& Found);
  // Writes the interface description that the last Create XML built in XMLDocument to
  // FileName, replacing the file; call it right after CreateXMLExecute.
  void SaveInterfaceXml(const QString& FileName);
  QByteArray FInterfaceXmlText;       // XMLDocument's text as the last Create XML wrote it
  class TFtpClient* IdFTP1 = nullptr; // owned by the window

  // Preview folder and import
  // Connects CreatePreview and Load from XML; called once by the constructor.
  void ConnectPreviewActions();

  // Debug pages
  // Connects the debug buttons and the "test" item; called once by the constructor.
  void ConnectDebugActions();

  // The stage's mouse hook (a TDebugMouseHook) while "test" is checked, else none.
  std::unique_ptr<QObject> MouseHookHandle;
  // The window the hook reports to; set when the window is first shown.
  QWidget* MainWindowHandle = nullptr;
  // Paints Image1's picture on PanelDrow (Button1).
  class TPanelPicture* PanelDrowPicture = nullptr;

  // Installs (On) or removes the stage's mouse hook.
  void SetMouseHook(bool On);
  // Message 7788: a mouse event on the stage at ScreenPoint; frames the element under it.
  void WMHookedMouse(QPoint ScreenPoint);
  // The window's own mouse move, at Position in its coordinates.
  void WMMouseMove(QPoint Position);
  void Button1Click(QObject* Sender = nullptr);
  void Button2Click(QObject* Sender = nullptr);
  void Button3Click(QObject* Sender = nullptr);
  void Button4Click(QObject* Sender = nullptr);
  void Button5Click(QObject* Sender = nullptr);
  void Button6Click(QObject* Sender = nullptr);
  void Button7Click(QObject* Sender = nullptr);
  // Delivers message 7788 and the window's own mouse moves to their handlers.
  bool event(QEvent* Event) override;

protected:
  void showEvent(QShowEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void moveEvent(QMoveEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void CreateActions();
  void CreateLayout();
  void CreateMenus();
  QWidget* CreatePropertyPanel();
  QWidget* CreateCentre();
  QWidget* CreateObjectsPanel();
  QWidget* CreateDebugPanel();
  QWidget* CreateHiddenPanel();
  void ConnectOwnActions();
  bool PreviewKey(QObject* Receiver, QEvent* Event);

  bool FShownOnce = false;
  bool FFormStorageRestored = false;
  bool FPageRefreshRequested = false;
  QTimer* FMoveEndTimer = nullptr;
  // The key event that the key preview saw last and the widget it was delivered to, so the
  // same event passing on to a parent widget is previewed once.
  QEvent* FPreviewedKeyEvent = nullptr;
  QPointer<QObject> FPreviewedKeyReceiver;
};
