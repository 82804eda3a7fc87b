#pragma once

#include "lookup/buildvariant.h"

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;

namespace xpbutton {
class XPButton;
}

namespace lookup {

class DragStrip;
class ImageButton;
class MemoryPage;
class PanePage;

// The lookup window: one query box, a hidden browser that fetches the directory site's answer,
// and a pane that shows the listing cut out of it.
class nct : public QWidget
{
    Q_OBJECT
public:
    explicit nct(const BuildVariant &variant, QWidget *parent = nullptr);
    ~nct() override;

    const BuildVariant &variant() const { return m_variant; }

    // The page text of the current query: empty while a search waits for its page, then the
    // style header and the section that was shown.
    const QString &pageText() const { return sHtml; }

    // Where the result page lives on this machine.
    static QString resultFilePath();

    // The stored settings (property bag, JSON) of the search button Command1.
    static constexpr char kSearchButtonBag[] = ":/lookup/command1.json";

    // Fixed command lines of the side actions.
    static constexpr char kHelpCommand[] = "hh.exe C:\\Program Files\\Dialvane\\help.chm";
    static constexpr char kEditorCommand[] = "C:\\Program Files\\Dialvane\\pennote.exe";
    static constexpr char kPrintToolCommand[] = "C:\\Program Files\\Dialvane\\inkleaf.exe";
    static constexpr char kBrowserPath[] = "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE";

    // Cuts the window to its rounded outline for its current size.
    void RMe();

    // Bounds of one search: one that has not shown its result within the time is stopped; an
    // answer page longer than the size (characters of markup) is cut there.
    static constexpr int kTimeLimitMs = 30000;
    static constexpr qsizetype kSizeLimit = 16 * 1024 * 1024;
    void setSearchLimits(int timeLimitMs, qsizetype sizeLimit);

    static constexpr char16_t kTimedOut[] = u"查询超时，请重试";
    static constexpr char16_t kFetcherDied[] = u"查询中断，请重试";
    static constexpr char16_t kPaneDied[] = u"显示中断，请重试";

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

Q_SIGNALS:
    // The pane has been sent to a new result and the status reads "下载完成".
    void resultShown(const QUrl &paneUrl);
    // A search ended without a result; the status says why.
    void searchAbandoned(const QString &status);

private:
    void createControls();
    // The search button, restored from the settings its form stored for it.
    void createSearchButton();
    void createFrameControls();
    // Places the frame buttons, repaints the skin onto the window surface and reshapes it.
    void layoutFrame();
    // Starts a side action's program; tells the user when it could not be started.
    void startSideAction(const QString &commandLine, const QString &what);
    void search();
    void hideWelcome();
    // Gives the fetcher a fresh page, so nothing of an earlier search can answer for this one.
    void replaceFetcherPage();
    // Gives the result pane a fresh page, locked down like every local page.
    void replacePanePage();
    void onFetcherLoading(quint64 searchId, const QWebEngineLoadingInfo &info);
    void checkAnswerSize();
    void requestPage(quint64 searchId);
    void takePage(quint64 searchId, const QVariant &markup);
    void showResult(const QString &headedText);
    // Ends the current search without a result and tells the user why.
    void abandonSearch(const QString &status);
    void finishSearch();
    // Sets the status text in Label1.
    void showStatus(const QString &text);

    const BuildVariant m_variant;

    QPushButton *Command3 = nullptr;
    QPushButton *Command2 = nullptr;
    QWebEngineView *WebBrowser3 = nullptr;
    QLineEdit *Text2 = nullptr;
    xpbutton::XPButton *Command1 = nullptr;
    QTimer *Timer1 = nullptr;
    QLabel *P2 = nullptr;
    QWidget *Picture1 = nullptr;
    QWebEngineView *W2 = nullptr;
    QLabel *Pmain = nullptr;
    QWebEngineView *W1 = nullptr;
    ImageButton *Image1 = nullptr;
    ImageButton *Image2 = nullptr;
    ImageButton *Image3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;

    // Frame controls: the drag strip, the two frame buttons and the hidden pictures they use.
    DragStrip *IMBar = nullptr;
    ImageButton *Immin = nullptr;
    ImageButton *Imclose = nullptr;
    QLabel *Imico = nullptr;
    QLabel *ImMin1 = nullptr;
    QLabel *ImMin2 = nullptr;
    QLabel *ImClose1 = nullptr;
    QLabel *ImClose2 = nullptr;
    // The painted frame survives being covered: it lives here, not only on screen.
    QPixmap m_surface;

    // Local pages (result pane, banner) run in their own profile without scripts or file access.
    QWebEngineProfile *m_localProfile = nullptr;
    MemoryPage *m_memoryPage = nullptr;

    QString sHtml;
    // Identifies the search a page belongs to; answers for an older search are dropped.
    quint64 m_searchId = 0;
    // A search waits for its answer.
    bool m_searching = false;
    int m_timeLimitMs = kTimeLimitMs;
    qsizetype m_sizeLimit = kSizeLimit;
    QTimer *m_deadline = nullptr;
    // Looks at the size of the answer while it arrives.
    QTimer *m_sizeCheck = nullptr;
    bool m_sizeCheckPending = false;
    PanePage *m_panePage = nullptr;
};

} // namespace lookup
