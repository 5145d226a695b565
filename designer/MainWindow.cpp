// The main window's construction: widgets, actions, menus, and the window events that only
// pass on to the handlers.

#include "designer/MousePaint.h"
#include "designer/ValueListEditor.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "platform/Application.h"
#include "player/ShockwaveFlash.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// How long the window must rest after a move or resize before the move counts as ended.
constexpr int MoveEndDelayMs = 300;

template <typename Widget> Widget* Named(Widget* W, const char* Name) {
  W->setObjectName(Name);
  return W;
}

QWidget* Panel(const char* Name, QWidget* Parent = nullptr) {
  return Named(new QWidget(Parent), Name);
}

QVBoxLayout* Column(QWidget* Owner) {
  auto* Layout = new QVBoxLayout(Owner);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(2);
  return Layout;
}

QHBoxLayout* Row(QWidget* Owner = nullptr) {
  auto* Layout = new QHBoxLayout(Owner);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(2);
  return Layout;
}

QListWidget* ListBox(const char* Name) {
  auto* List = Named(new QListWidget, Name);
  List->setSelectionMode(QAbstractItemView::SingleSelection);
  return List;
}

QToolButton* ActionButton(const char* Name, QAction* Action) {
  auto* Button = Named(new QToolButton, Name);
  Button->setDefaultAction(Action);
  Button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return Button;
}

// Which edge or centre line an align image shows.
enum class TAlignImage { Left, Right, Center, TopCenter, Top, Bottom, Vert, Horz };

// A 20 x 18 picture of two boxes lined up on a guide line.
QIcon AlignIcon(TAlignImage Kind) {
  QPixmap Picture(20, 18);
  Picture.fill(Qt::transparent);
  QPainter Painter(&Picture);
  Painter.setPen(Qt::black);
  QRect Small, Large;
  QLine Guide;
  switch (Kind) {
  case TAlignImage::Left:
    Guide = QLine(2, 1, 2, 16), Small = QRect(3, 3, 8, 4), Large = QRect(3, 10, 14, 4);
    break;
  case TAlignImage::Right:
    Guide = QLine(17, 1, 17, 16), Small = QRect(9, 3, 8, 4), Large = QRect(3, 10, 14, 4);
    break;
  case TAlignImage::Center:
  case TAlignImage::Vert:
    Guide = QLine(10, 1, 10, 16), Small = QRect(6, 3, 8, 4), Large = QRect(3, 10, 14, 4);
    break;
  case TAlignImage::TopCenter:
  case TAlignImage::Horz:
    Guide = QLine(1, 9, 18, 9), Small = QRect(3, 6, 5, 6), Large = QRect(11, 2, 5, 14);
    break;
  case TAlignImage::Top:
    Guide = QLine(1, 1, 18, 1), Small = QRect(3, 2, 5, 6), Large = QRect(11, 2, 5, 14);
    break;
  case TAlignImage::Bottom:
    Guide = QLine(1, 16, 18, 16), Small = QRect(3, 10, 5, 6), Large = QRect(11, 2, 5, 14);
    break;
  }
  Painter.fillRect(Small, QColor(80, 120, 200));
  Painter.fillRect(Large, QColor(80, 120, 200));
  if (Kind == TAlignImage::Vert || Kind == TAlignImage::Horz)
    Painter.setPen(Qt::DashLine);
  Painter.drawLine(Guide);
  return QIcon(Picture);
}

} // namespace

TFormVistaloom::TFormVistaloom(const QString& ExeDir, const QStringList& Args, TDialogs* Dialogs,
                               QWidget* Parent)
    : QMainWindow(Parent), FExeDir(ExeDir), FDialogs(Dialogs), FArgs(Args) {
  setObjectName("FormVistaloom");
  setWindowTitle("Vistaloom");
  CreateActions();
  CreateLayout();
  CreateMenus();
  ConnectOwnActions();
  ConnectProjectActions();
  ConnectSelectionActions();
  ConnectPreviewActions();
  ConnectDebugActions();
  ConnectAlignActions();
  ConnectZOrderActions();
  ConnectDriverActions();
  ConnectExportActions();

  resize(1022, 753);
  if (const QScreen* Screen = QGuiApplication::primaryScreen())
    move(Screen->availableGeometry().center() - rect().center());

  FMoveEndTimer = new QTimer(this);
  FMoveEndTimer->setSingleShot(true);
  FMoveEndTimer->setInterval(MoveEndDelayMs);
  connect(FMoveEndTimer, &QTimer::timeout, this, [this] { Guarded([this] { WMExitSizeMove(); }); });

  // Key preview: the window's key handlers see every key before the focused control.
  qApp->installEventFilter(this);
}

TFormVistaloom::~TFormVistaloom() {
  qApp->removeEventFilter(this);
}

void TFormVistaloom::CreateActions() {
  struct TActionEntry {
    QAction*& Action;
    const char* Name;
    const char* Category;
    const char* Caption;
    QKeySequence Shortcut;
  };
  const TActionEntry Entries[] = {
      {AlignLeft, "AlignLeft", "Align", "AlignLeft", {}},
      {AlignRight, "AlignRight", "Align", "AlignRight", {}},
      {AlignCenter, "AlignCenter", "Align", "AlignCenter", {}},
      {AlignTopCenter, "AlignTopCenter", "Align", "AlignTopCenter", {}},
      {AlignTop, "AlignTop", "Align", "AlignTop", {}},
      {AlignBottom, "AlignBottom", "Align", "AlignBottom", {}},
      {AlignVert, "AlignVert", "Align", "Action", {}},
      {AlignH, "AlignH", "Align", "AlignH", {}},
      {AllClose, "AllClose", "File", "Quit", QKeySequence("Ctrl+Q")},
      {New, "New", "File", "New", QKeySequence("Ctrl+N")},
      {Load, "Load", "File", "Load", QKeySequence("Ctrl+O")},
      {Reopen, "Reopen", "File", "Reopen", {}},
      {Save, "Save", "File", "Save", QKeySequence("Ctrl+S")},
      {SaveAs, "SaveAs", "File", "Save As", {}},
      {ProjectPref, "ProjectPref", "File", "Project Preference", {}},
      {SaveCurrentRepository, "SaveCurrentRepository", "File", "Save Current Repository", {}},
      {ClearAll, "ClearAll", "File", "ClearAll", {}},
      {CreateXML, "CreateXML", "XML", "Create XML", {}},
      {SaveXML, "SaveXML", "XML", "Save XML", {}},
      {SaveToFtp, "SaveToFtp", "XML", "Save XML to Ftp", QKeySequence("Shift+Ctrl+S")},
      {LoadFromXML, "LoadFromXML", "XML", "Load from XML", {}},
      {CreatePreview, "CreatePreview", "XML", "CreatePreview", {}},
      {Addpage, "Addpage", "Pages", "Ins Page", {}},
      {DelPage, "DelPage", "Pages", "Del Page", {}},
      {PageUP, "PageUP", "Pages", "UP", {}},
      {PageDown, "PageDown", "Pages", "Down", {}},
      {DeleteObject, "DeleteObject", "Objects", "Delete Object", {}},
      {Deselect, "Deselect", "Objects", "Deselect", {}},
      {Duplicate, "Duplicate", "Objects", "Duplicate", QKeySequence("Ctrl+D")},
      {SendBackword, "SendBackword", "Objects", "Send Backword", {}},
      {BringForward, "BringForward", "Objects", "Bring forward", {}},
      {BringToFront, "BringToFront", "Objects", "Bring to Front", {}},
      {SendToBack, "SendToBack", "Objects", "Send to back", {}},
      {AddOnEvent, "AddOnEvent", "Events", "Add", {}},
      {DeleteEvent, "DeleteEvent", "Events", "Delete", {}},
  };
  for (const TActionEntry& Entry : Entries) {
    Entry.Action = Named(new QAction(Entry.Caption, this), Entry.Name);
    Entry.Action->setProperty("category", QString(Entry.Category));
    Entry.Action->setShortcut(Entry.Shortcut);
    // An action is off unless ConnectAction has given it a handler.
    Entry.Action->setEnabled(false);
    addAction(Entry.Action);
  }

  const std::pair<QAction*, TAlignImage> AlignImages[] = {
      {AlignLeft, TAlignImage::Left},     {AlignRight, TAlignImage::Right},
      {AlignCenter, TAlignImage::Center}, {AlignTopCenter, TAlignImage::TopCenter},
      {AlignTop, TAlignImage::Top},       {AlignBottom, TAlignImage::Bottom},
      {AlignVert, TAlignImage::Vert},     {AlignH, TAlignImage::Horz},
  };
  for (const auto& [Action, Image] : AlignImages) {
    Action->setIcon(AlignIcon(Image));
    Action->setToolTip(Action->text());
    Action->setStatusTip(Action->text());
  }
}

void TFormVistaloom::CreateLayout() {
  auto* Central = Panel("Central");
  auto* Outer = Column(Central);
  Outer->setSpacing(0);

  Panel4 = Panel("Panel4");
  Panel4->setFixedHeight(41);
  Outer->addWidget(Panel4);

  auto* Body = Row();
  Splitter1 = Named(new QSplitter(Qt::Horizontal), "Splitter1");
  Splitter1->setChildrenCollapsible(false);
  Splitter1->addWidget(CreatePropertyPanel());
  Splitter1->addWidget(CreateCentre());
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({169, 600});
  Body->addWidget(Splitter1, 1);
  Body->addWidget(CreateObjectsPanel());
  Body->addWidget(CreateHiddenPanel());
  Outer->addLayout(Body, 1);
  setCentralWidget(Central);

  StatusBar = Named(new QStatusBar, "StatusBar");
  StatusBar->setSizeGripEnabled(false);
  const int PanelWidths[] = {50, 180, 50};
  for (std::size_t I = 0; I < StatusBarPanels.size(); ++I) {
    StatusBarPanels[I] = new QLabel;
    StatusBarPanels[I]->setObjectName(QString("StatusBarPanel%1").arg(I));
    StatusBarPanels[I]->setMinimumWidth(PanelWidths[I]);
    StatusBar->addWidget(StatusBarPanels[I]);
  }
  setStatusBar(StatusBar);
}

QWidget* TFormVistaloom::CreatePropertyPanel() {
  PanelPropery = Panel("PanelPropery");
  PanelPropery->setMinimumWidth(160);
  PanelPropery->setMaximumWidth(300);
  auto* Outer = Column(PanelPropery);

  PanelProperty = Panel("PanelProperty");
  PanelProperty->hide();
  auto* Inner = Column(PanelProperty);
  PageControl3 = Named(new QTabWidget, "PageControl3");
  TSProp = Panel("TSProp");
  ValueListEditor = Named(new TValueListEditor, "ValueListEditor");
  Column(TSProp)->addWidget(ValueListEditor);
  TSEvents = Panel("TSEvents");
  PageControl3->addTab(TSProp, "Properties");
  PageControl3->addTab(TSEvents, "Events");
  Inner->addWidget(PageControl3, 2);

  PanelObjectoption = Named(new QGroupBox("Object option"), "PanelObjectoption");
  VLEProp = Named(new TValueListEditor, "VLEProp");
  Column(PanelObjectoption)->addWidget(VLEProp);
  Inner->addWidget(PanelObjectoption, 1);

  PanelFlashSuffiz = Named(new QGroupBox("Flash suffix"), "PanelFlashSuffiz");
  auto* Suffix = Column(PanelFlashSuffiz);
  auto* SuffixButtons = Row();
  Button9 = Named(new QPushButton("+"), "Button9");
  Button10 = Named(new QPushButton("-"), "Button10");
  SuffixButtons->addWidget(Button9);
  SuffixButtons->addWidget(Button10);
  SuffixButtons->addStretch();
  Suffix->addLayout(SuffixButtons);
  VLEFlashSuffix = Named(new TValueListEditor, "VLEFlashSuffix");
  Suffix->addWidget(VLEFlashSuffix);
  Inner->addWidget(PanelFlashSuffiz, 1);

  for (TValueListEditor* Grid : {ValueListEditor, VLEProp, VLEFlashSuffix})
    Grid->SetRowsMovable(true);
  Outer->addWidget(PanelProperty);
  Outer->addStretch();
  return PanelPropery;
}

QWidget* TFormVistaloom::CreateCentre() {
  PanelMain = Panel("PanelMain");
  auto* Outer = Column(PanelMain);
  PCMain = Named(new QTabWidget, "PCMain");

  TSDesign = Panel("TSDesign");
  PanelFlash = Panel("PanelFlash");
  ShockwaveFlash = Named(new TShockwaveFlash, "ShockwaveFlash");
  ShockwaveFlash->setFocusPolicy(Qt::ClickFocus);
  Column(PanelFlash)->addWidget(ShockwaveFlash);
  Column(TSDesign)->addWidget(PanelFlash);
  PCMain->addTab(TSDesign, "Dessign");

  TabSheet8 = Panel("TabSheet8");
  auto* Actions = Column(TabSheet8);
  auto* Drivers = Row();
  ListBoxDrivers = ListBox("ListBoxDrivers");
  ListBoxFunctions = ListBox("ListBoxFunctions");
  VEDriver = Named(new TValueListEditor, "VEDriver");
  Drivers->addWidget(ListBoxDrivers);
  Drivers->addWidget(ListBoxFunctions);
  Drivers->addWidget(VEDriver, 2);
  Actions->addLayout(Drivers, 2);
  auto* EventButtons = Row();
  Button11 = ActionButton("Button11", AddOnEvent);
  Button12 = ActionButton("Button12", DeleteEvent);
  Button11->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  Button12->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  EventButtons->addWidget(Button11);
  EventButtons->addWidget(Button12);
  EventButtons->addStretch();
  Actions->addLayout(EventButtons);
  ListBoxEvents = ListBox("ListBoxEvents");
  Actions->addWidget(ListBoxEvents, 1);
  PCMain->addTab(TabSheet8, "Actions");
  Outer->addWidget(PCMain, 1);

  Panel12 = Panel("Panel12");
  PanelDraw = Panel("PanelDraw", Panel12);
  Panel12->hide();
  Outer->addWidget(Panel12);

  connect(PCMain, &QTabWidget::currentChanged, this,
          GuardedSlot(&TFormVistaloom::PCMainChange, PCMain));
  return PanelMain;
}

QWidget* TFormVistaloom::CreateObjectsPanel() {
  PanelObjects = Panel("PanelObjects");
  PanelObjects->setFixedWidth(217);
  auto* Outer = Column(PanelObjects);

  PageControl = Named(new QTabWidget, "PageControl");
  TSObjects = Panel("TSObjects");
  auto* Objects = Row(TSObjects);
  ListBoxItem = ListBox("ListBoxItem");
  ListBoxItem->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListBoxItem->setSortingEnabled(true);
  Objects->addWidget(ListBoxItem, 3);
  auto* Pages = Column(nullptr);
  LBPages = ListBox("LBPages");
  Pages->addWidget(LBPages, 1);
  SpeedButtonDelPage = ActionButton("SpeedButtonDelPage", DelPage);
  Pages->addWidget(SpeedButtonDelPage);
  auto* UpDown = Row();
  SpeedButtonUp = ActionButton("SpeedButtonUp", PageUP);
  SpeedButtonDown = ActionButton("SpeedButtonDown", PageDown);
  UpDown->addWidget(SpeedButtonUp);
  UpDown->addWidget(SpeedButtonDown);
  Pages->addLayout(UpDown);
  SpeedButtonInsPage = ActionButton("SpeedButtonInsPage", Addpage);
  Pages->addWidget(SpeedButtonInsPage);
  Objects->addLayout(Pages, 2);
  PageControl->addTab(TSObjects, "Objects");

  TSElements = Panel("TSElements");
  auto* Elements = Column(TSElements);
  SFPreview = Named(new TShockwaveFlash, "SFPreview");
  SFPreview->setFixedHeight(120);
  // The preview is a plain control: its clips' buttons answer the mouse there, while the
  // stage's mouse goes to the overlay.
  SFPreview->SetMouseInput(true);
  Elements->addWidget(SFPreview);
  SGElements = Named(new QTableWidget(1, 2), "SGElements");
  SGElements->setHorizontalHeaderLabels({"Elements", QString()});
  SGElements->verticalHeader()->hide();
  // Rows are 16 pixels high, below the height the header would keep for its own font.
  SGElements->verticalHeader()->setMinimumSectionSize(16);
  SGElements->verticalHeader()->setDefaultSectionSize(16);
  SGElements->setColumnWidth(0, 109);
  SGElements->setColumnWidth(1, 28);
  SGElements->setSelectionBehavior(QAbstractItemView::SelectRows);
  SGElements->setSelectionMode(QAbstractItemView::SingleSelection);
  SGElements->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Elements->addWidget(SGElements, 1);
  // A row is previewed when the user selects it by a click or a key. The current cell that the
  // grid sets on taking the focus selects no row, so a switch to the tab previews nothing.
  connect(SGElements, &QTableWidget::itemSelectionChanged, this, [this] {
    const QModelIndexList Selected = SGElements->selectionModel()->selectedIndexes();
    if (Selected.isEmpty())
      return;
    bool CanSelect = true;
    Guarded([&] {
      SGElementsSelectCell(SGElements, Selected.first().column(), Selected.first().row(),
                           CanSelect);
    });
  });
  PageControl->addTab(TSElements, "Elements");

  TabSheetAll = Panel("TabSheetAll");
  DBGrid1 = Named(new QTableView, "DBGrid1");
  DataObjects = Named(new QStandardItemModel(this), "DataObjects");
  DBGrid1->setModel(DataObjects);
  Column(TabSheetAll)->addWidget(DBGrid1);
  PageControl->addTab(TabSheetAll, "AllObjects");

  TabSheet2 = Panel("TabSheet2");
  LBHistory = ListBox("LBHistory");
  Column(TabSheet2)->addWidget(LBHistory);
  PageControl->addTab(TabSheet2, "History");
  Outer->addWidget(PageControl, 1);

  Panel14 = Panel("Panel14");
  PageControl1 = Named(new QTabWidget, "PageControl1");
  TSAlign = Panel("TSAlign");
  auto* Align = Column(TSAlign);
  ToolBar1 = Named(new QToolBar, "ToolBar1");
  ToolBar1->addActions({AlignCenter, AlignTopCenter, AlignH, AlignVert});
  ToolBar2 = Named(new QToolBar, "ToolBar2");
  ToolBar2->addActions({AlignBottom, AlignTop, AlignLeft, AlignRight});
  for (QToolBar* Bar : {ToolBar1, ToolBar2}) {
    Bar->setIconSize(QSize(20, 18));
    Bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Align->addWidget(Bar);
  }
  Align->addStretch();
  TSInfo = Panel("TSInfo");
  PageControl1->addTab(TSAlign, "Align");
  PageControl1->addTab(TSInfo, "Info");
  Column(Panel14)->addWidget(PageControl1);
  Outer->addWidget(Panel14);

  Outer->addWidget(CreateDebugPanel());
  return PanelObjects;
}

QWidget* TFormVistaloom::CreateDebugPanel() {
  Panel3 = Panel("Panel3");
  PageControl2 = Named(new QTabWidget, "PageControl2");

  TSTest2 = Panel("TSTest2");
  auto* Test2 = Column(TSTest2);
  Memo1 = Named(new QPlainTextEdit("Memo1"), "Memo1");
  Test2->addWidget(Memo1, 1);
  auto* Test2Buttons = Row();
  Button8 = Named(new QPushButton("Button8"), "Button8");
  Button2 = Named(new QPushButton("Button2"), "Button2");
  Test2Buttons->addWidget(Button8);
  Test2Buttons->addWidget(Button2);
  Test2->addLayout(Test2Buttons);
  PageControl2->addTab(TSTest2, "Test2");

  TSts2 = Panel("TSts2");
  Image1 = Named(new QLabel(TSts2), "Image1");
  PanelDrow = Panel("PanelDrow", TSts2);
  Image1->hide();
  PanelDrow->hide();
  PageControl2->addTab(TSts2, "ts2");

  TabSheet7 = Panel("TabSheet7");
  auto* Sheet7 = Column(TabSheet7);
  Button5 = Named(new QPushButton("Button5"), "Button5");
  Button7 = Named(new QPushButton("Button7"), "Button7");
  CheckBox1 = Named(new QCheckBox("CheckBox1"), "CheckBox1");
  CheckBox1->setChecked(true);
  Edit6 = Named(new QLineEdit("Edit6"), "Edit6");
  for (QWidget* W : std::initializer_list<QWidget*>{Button5, Button7, CheckBox1, Edit6})
    Sheet7->addWidget(W);
  PageControl2->addTab(TabSheet7, "TabSheet7");

  Column(Panel3)->addWidget(PageControl2);
  return Panel3;
}

QWidget* TFormVistaloom::CreateHiddenPanel() {
  Panel2 = Panel("Panel2");
  auto* Layout = Column(Panel2);
  Label1 = Named(new QLabel("Label1"), "Label1");
  Layout->addWidget(Label1);
  for (auto [Edit, Name] : {std::pair{&Edit2, "Edit2"}, std::pair{&Edit3, "Edit3"},
                            std::pair{&Edit4, "Edit4"}, std::pair{&Edit5, "Edit5"}}) {
    *Edit = Named(new QLineEdit(Name), Name);
    Layout->addWidget(*Edit);
  }
  for (auto [Button, Name] : {std::pair{&Button3, "Button3"}, std::pair{&Button4, "Button4"},
                              std::pair{&Button6, "Button6"}, std::pair{&Button1, "Button1"}}) {
    *Button = Named(new QPushButton(Name), Name);
    Layout->addWidget(*Button);
  }
  Panel2->hide();
  return Panel2;
}

void TFormVistaloom::CreateMenus() {
  auto AddMenu = [this](const char* Name, const QString& Title,
                        std::initializer_list<QAction*> Items) {
    QMenu* Menu = Named(menuBar()->addMenu(Title), Name);
    for (QAction* Item : Items) {
      if (Item)
        Menu->addAction(Item);
      else
        Menu->addSeparator();
    }
    return Menu;
  };
  menuBar()->setObjectName("MainMenu1");
  MainMenuFile = AddMenu("MainMenuFile", "File",
                         {New, Load, ProjectPref, Reopen, CreateXML, nullptr, SaveToFtp, SaveAs,
                          Save, nullptr, AllClose});
  MainMenuEdit = AddMenu("MainMenuEdit", "Edit", {ClearAll});
  MainMenuObjects = AddMenu(
      "MainMenuObjects", "Objects",
      {SendToBack, SendBackword, BringForward, BringToFront, Deselect, DeleteObject, Duplicate});
  MainMenuPages = AddMenu("MainMenuPages", "Pages", {Addpage, DelPage, PageUP, PageDown});
  MainMenuXML =
      AddMenu("MainMenuXML", "XML", {CreateXML, SaveXML, SaveToFtp, LoadFromXML, CreatePreview});
  MainMenuTools = AddMenu("MainMenuTools", "Tools", {SaveCurrentRepository});
  MainMenuHelp = AddMenu("MainMenuHelp", "Help", {});
  AboutItem = Named(MainMenuHelp->addAction("About"), "AboutItem");
  connect(AboutItem, &QAction::triggered, this,
          GuardedSlot(&TFormVistaloom::AboutItemClick, AboutItem));

  PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
  PopupMenu1->addAction(Load);
  TestItem = Named(PopupMenu1->addAction("test"), "TestItem");
  TestItem->setShortcut(QKeySequence("Ctrl+B"));
  addAction(TestItem);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& At) { PopupMenu1->popup(mapToGlobal(At)); });
}

void TFormVistaloom::ConnectOwnActions() {
  ConnectAction(AllClose, &TFormVistaloom::AllCloseExecute);
  ConnectAction(New, &TFormVistaloom::NewExecute);
  ConnectAction(ProjectPref, &TFormVistaloom::ProjectPrefExecute);
  ConnectAction(SaveCurrentRepository, &TFormVistaloom::SaveCurrentRepositoryExecute);
  ClearAll->setEnabled(true); // an action without a handler: choosing it does nothing
}

void TFormVistaloom::ConnectAction(QAction* Action, void (TFormVistaloom::*Handler)(QObject*)) {
  Action->setEnabled(true);
  connect(Action, &QAction::triggered, this, GuardedSlot(Handler, Action));
}

std::function<void()> TFormVistaloom::GuardedSlot(void (TFormVistaloom::*Handler)(QObject*),
                                                  QObject* Sender) {
  return [this, Handler, Sender] { Guarded([&] { (this->*Handler)(Sender); }); };
}

void TFormVistaloom::Guarded(const std::function<void()>& Work) {
  RunGuarded(FDialogs, this, Work);
}

void TFormVistaloom::AllCloseExecute(QObject*) {
  close();
}

void TFormVistaloom::showEvent(QShowEvent* Event) {
  QMainWindow::showEvent(Event);
  if (FShownOnce)
    return;
  FShownOnce = true;
  RestoreFormStorage();
  Guarded([this] { FormShow(this); });
}

void TFormVistaloom::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  Guarded([this] { FormResize(this); });
  FMoveEndTimer->start();
}

void TFormVistaloom::moveEvent(QMoveEvent* Event) {
  QMainWindow::moveEvent(Event);
  FMoveEndTimer->start();
}

void TFormVistaloom::closeEvent(QCloseEvent* Event) {
  if (FFormStorageRestored)
    SaveFormStorage();
  Guarded([this] { FormClose(this); });
  Event->accept();
}

bool TFormVistaloom::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::KeyPress || Event->type() == QEvent::KeyRelease)
    return PreviewKey(Watched, Event);
  return QMainWindow::eventFilter(Watched, Event);
}

bool TFormVistaloom::PreviewKey(QObject* Receiver, QEvent* Event) {
  // A key the focused control ignores travels on to its parents as the same event.
  const bool PassedToParent = Event == FPreviewedKeyEvent && FPreviewedKeyReceiver &&
                              Receiver == FPreviewedKeyReceiver->parent();
  FPreviewedKeyEvent = Event;
  FPreviewedKeyReceiver = Receiver;
  auto* Target = qobject_cast<QWidget*>(Receiver);
  // The overlay passes its own keys on (FormShow connects it).
  if (PassedToParent || !Target || Target->window() != this || qobject_cast<TFormPaint*>(Target))
    return false;
  auto* Key = static_cast<QKeyEvent*>(Event);
  int Code = Key->key();
  Guarded([&] {
    if (Event->type() == QEvent::KeyPress)
      FormKeyDown(this, Code, Key->modifiers());
    else
      FormKeyUp(this, Code, Key->modifiers());
  });
  return Code == 0;
}
