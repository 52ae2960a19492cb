// frmmain: the whole user interface. It shows the project's fields on three
// tabs, keeps them in a ProjectState, and routes every button, menu entry
// and mouse event to the core operation that does the work.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <QUndoStack>
#include <array>
#include <map>
#include <memory>

#include "capture/capture.h"
#include "model/area_grid.h"
#include "model/project_state.h"
#include "ui/picture_view.h"

class AboutBox;
class CompilerOutputWindow;
class PlatformServices;
class PreferencesDialog;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QSessionManager;
class SessionRecovery;
struct CaptureTexts;
struct ListSplice;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // The real desktop; the program folder is the executable's folder.
    MainWindow();
    explicit MainWindow(std::unique_ptr<PlatformServices> services);
    ~MainWindow() override;

    const qm4::ProjectState& state() const { return state_; }

    // Where sources and projects go: the folder chosen with Working Folder,
    // else the program folder when it can take files, else Quillmap4 in the
    // documents folder.
    QString workingFolder() const;

    // Opens a project file (with its points, when it has them) after the
    // question about unsaved work; false when nothing was opened.
    bool openProject(const QString& path);

    // Offers back the work of a session that ended unexpectedly, if there is
    // any; true when it was restored.
    bool offerRecovery();

    // Event handlers, named after the control and its event.
    void cmdcalculate_Click();
    void cmdload_Click();
    void Picture1_MouseMove(QPointF position, QSizeF clientSize);
    void Picture1_MouseDown(QPointF position, QSizeF clientSize);
    void cmdlwmclearlistitem_Click();
    void cmdvtpclearitem_Click();
    void cmdclearlwmlist_Click();
    void cmdclearvtplist_Click();
    void lstLWM_DblClick();
    void lstVTP_DblClick();
    void cmdlwm_Click();
    void cmdvtp_Click();
    void mnucreatelwmsource_Click();
    void mnucreatevtpsource_Click();
    void mnuviewlwmsource_Click();
    void mnuviewvtpsource_Click();
    void mnucompilelwmsource_Click();
    void mnucompilevtpsource_Click();
    void mnupreferences_Click();
    void mnuopenproject_Click();
    void mnusaveproject_Click();
    void mnuexit_Click();
    void mnuworkingfolder_Click();
    void mnuimportshape_Click();
    void mnuexporttrace_Click();
    void mnurecount_Click();
    void mnupasteposition_Click();
    void mnugotoposition_Click();
    void mnushowtrace_Click(bool shown);
    void mnuzoomin_Click();
    void mnuzoomout_Click();
    void mnuzoomactual_Click();
    void mnurecent_Click(int index);
    void mnuquickstart_Click();
    void mnuhelptutorial_Click();
    void mnulwmtutorial_Click();
    void mnumenu_Click();
    void mnuabout_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The widgets of one point list and its counter.
    struct ListSide {
        QListWidget* list = nullptr;
        QLineEdit* counter = nullptr;
        qm4::PointList qm4::ProjectState::*lines = nullptr;
        std::string qm4::ProjectState::*counterText = nullptr;
        qm4::CounterColour qm4::ProjectState::*colour = nullptr;
    };

    // The object names of one column of the draw tab.
    struct PointColumnNames {
        const char* x;
        const char* y;
        const char* counter;
        const char* list;
        const char* remove;
        const char* clear;
        const char* create;
        const char* noData;
    };

    void buildForm();
    QWidget* buildGeneralTab();
    QWidget* buildLwmVtpTab();
    QWidget* buildDrawTab();
    QWidget* buildPointColumn(const PointColumnNames& names, const QString& coordinates,
                              const QString& counterCaption, const QString& noData,
                              const QColor& colour, QWidget* parent);
    void buildMenus();
    void connectEvents();

    // Copies what the user may have changed from the widgets into state_:
    // every field except the list lines, which only handlers change.
    void readFields();
    // Shows state_ in the widgets, the list lines aside.
    void writeFields();
    void showCounterColour(QLineEdit* counter, qm4::CounterColour colour);
    void showSelection(const ListSide& side);

    // The lists as undoable steps: ListStep changes them through these.
    friend class ListStep;
    friend class FieldStep;
    void spliceList(int list, int at, std::size_t removed, const std::vector<std::string>& inserted,
                    bool changeState);
    void showCaptureTexts(const CaptureTexts& texts);
    void pushStep(const QString& name, std::vector<ListSplice> splices, const CaptureTexts& before);
    std::vector<ListSplice> appendedSince(std::size_t lwmCount, std::size_t vtpCount) const;
    std::vector<PictureView::Point> tracePoints(int list,
                                                const std::vector<std::string>& lines) const;
    QPoint currentArea() const;
    void showTrace();
    void followTraceArea();
    void setZoom(int zoom);
    void showMousePosition();
    void showAreaEdges();
    void goToPosition(const QString& text);
    void goToPlace(const qm4::LatLon& place);
    void showRefusedPosition(const QString& text, const std::string& reason);
    bool mayLeaveArea(const qm4::ProjectState& moved);
    void clearFilledWarnings();
    void importPoints(const std::vector<QPoint>& points);
    QString areaDescription() const;
    static QString fieldCaption(const std::string& name);

    void removeSelected(const ListSide& side);
    void clearList(const ListSide& side);
    void insertLine(const ListSide& side);

    // Unsaved work: the title's marker, the question, the recovery file.
    void noteChange();
    void markSaved();
    bool maybeSave();
    bool saveProject();
    bool openProjectFile(const QString& path);
    void writeRecovery();
    void commitData(QSessionManager& manager);
    // Shows the picture at path, or an empty view and a status message when
    // it cannot be read.
    void showPicture(const QString& path);
    void showLists();
    QString caption() const;
    QString ensuredWorkingFolder();
    void showWorkingFolder();
    void rememberRecent(const QString& path);
    void showRecent();

    void ViewLWM();
    void ViewVTP();
    void viewSource(const std::string& path, const char* missingMessage);
    void OpenFile(const QString& FileName);
    void openHelpDocument(const char* name);
    // Writes a source and reports it in the status bar; false when it could
    // not be written, which a message has said.
    bool createSource(bool lwm);
    QString counterNote(bool lwm);
    void compileSource(bool lwm);
    void showPreferences(const QString& note);
    void showCompilerOutput(const QString& text);
    void copyToScenery(const QString& bgl, const QString& sceneryFolder, bool lwm,
                       const QString& report);
    void showError(const QString& what, const std::string& cause);
    // Shows a FillXY failure in its critical box while the capture waits.
    qm4::FillXYErrorHandler showFillXYError();
    std::string programFolder() const;

    std::unique_ptr<PlatformServices> services_;
    qm4::ProjectState state_;
    QString picturePath_;
    QString projectPath_;    // where the project was opened from or last saved to
    QString pictureFolder_;  // where the last picture was chosen
    std::unique_ptr<AboutBox> about_;
    PreferencesDialog* preferences_ = nullptr;        // made when first shown
    CompilerOutputWindow* compilerOutput_ = nullptr;  // made when first shown

    // What the last save or open left on the disk (or the start values).
    qm4::ProjectState saved_;
    QString savedPicture_;
    QString captionText_;   // the caption, without the unsaved-work marker
    bool showing_ = false;  // the form is being filled from state_
    bool sessionAnswered_ = false;
    QTimer recoveryTimer_;
    std::unique_ptr<SessionRecovery> recovery_;
    QLabel* workingFolderLabel_ = nullptr;
    QUndoStack undoStack_;
    // The warning signs of the fields the compiler needs, by control name.
    std::map<std::string, QAction*> compilerWarnings_;
    QPoint traceArea_;  // the area whose picture the VTP trace is drawn in

    QTabWidget* tabs_ = nullptr;
    QLineEdit* txtprojectname = nullptr;
    QLineEdit* txtauthorname = nullptr;
    QPlainTextEdit* txtcomments = nullptr;
    QLineEdit* txtlatdeg = nullptr;
    QLineEdit* txtlatmin = nullptr;
    QLineEdit* txtlongdeg = nullptr;
    QLineEdit* txtlongmin = nullptr;
    QLabel* lbllatdd = nullptr;
    QLabel* lbllongdd = nullptr;
    QLabel* lblcellx = nullptr;
    QLabel* lblcelly = nullptr;
    QLabel* lblareax = nullptr;
    QLabel* lblareay = nullptr;
    QPushButton* cmdcalculate = nullptr;
    // The current area's edges, shown after Calculate.
    QLabel* lblnorth = nullptr;
    QLabel* lblsouth = nullptr;
    QLabel* lblwest = nullptr;
    QLabel* lbleast = nullptr;

    QComboBox* cbolandclass = nullptr;
    QComboBox* cbovtptype = nullptr;
    QComboBox* cbolayer = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QRadioButton* Option4 = nullptr;
    QLineEdit* txtvtplinewidth = nullptr;
    QLineEdit* txtaltitude = nullptr;

    PictureView* Picture1 = nullptr;
    QScrollArea* pictureScroll_ = nullptr;
    QPushButton* cmdload = nullptr;
    QLineEdit* txtcellx = nullptr;
    QLineEdit* txtcelly = nullptr;
    QLineEdit* txtareax = nullptr;
    QLineEdit* txtareay = nullptr;
    QLabel* lblx = nullptr;
    QLabel* lbly = nullptr;
    QLabel* lblvtp2x = nullptr;
    QLabel* lblvtp2y = nullptr;
    QLineEdit* txtlwmnumber = nullptr;
    QLineEdit* txtvtpnumber = nullptr;
    QListWidget* lstLWM = nullptr;
    QListWidget* lstVTP = nullptr;
    QPushButton* cmdlwmclearlistitem = nullptr;
    QPushButton* cmdvtpclearitem = nullptr;
    QPushButton* cmdclearlwmlist = nullptr;
    QPushButton* cmdclearvtplist = nullptr;
    QPushButton* cmdlwm = nullptr;
    QPushButton* cmdvtp = nullptr;
    QCheckBox* chklwmnodata = nullptr;
    QCheckBox* chkvtpnodata = nullptr;

    QAction* mnuopenproject = nullptr;
    QAction* mnusaveproject = nullptr;
    QAction* mnucreatelwmsource = nullptr;
    QAction* mnuviewlwmsource = nullptr;
    QAction* mnucreatevtpsource = nullptr;
    QAction* mnuviewvtpsource = nullptr;
    QAction* mnucompilelwmsource = nullptr;
    QAction* mnucompilevtpsource = nullptr;
    QAction* mnupreferences = nullptr;
    QAction* mnuexit = nullptr;
    QAction* mnuworkingfolder = nullptr;
    QAction* mnuimportshape = nullptr;
    QAction* mnuexporttrace = nullptr;
    QAction* mnuundo = nullptr;
    QAction* mnuredo = nullptr;
    QAction* mnurecount = nullptr;
    QAction* mnupasteposition = nullptr;
    QAction* mnugotoposition = nullptr;
    QAction* mnushowtrace = nullptr;
    QAction* mnuzoomin = nullptr;
    QAction* mnuzoomout = nullptr;
    QAction* mnuzoomactual = nullptr;
    std::array<QAction*, 4> mnurecent{};
    QAction* mnuspace = nullptr;
    QAction* mnuquickstart = nullptr;
    QAction* mnuhelptutorial = nullptr;
    QAction* mnulwmtutorial = nullptr;
    QAction* mnumenu = nullptr;
    QAction* mnuabout = nullptr;

    ListSide lwmSide_;
    ListSide vtpSide_;
};
