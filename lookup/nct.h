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

namespace lookup {

class MemoryPage;

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

protected:
    void paintEvent(QPaintEvent *event) override;

Q_SIGNALS:
    // The pane has been sent to a new result and the status reads "下载完成".
    void resultShown(const QUrl &paneUrl);

private:
    void createControls();
    void search();
    void hideWelcome();
    void onFetcherLoading(const QWebEngineLoadingInfo &info);
    void takePage(quint64 searchId, const QVariant &markup);
    void showResult(const QString &headedText);

    const BuildVariant m_variant;

    QPushButton *Command3 = nullptr;
    QPushButton *Command2 = nullptr;
    QWebEngineView *WebBrowser3 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Command1 = nullptr;
    QTimer *Timer1 = nullptr;
    QLabel *P2 = nullptr;
    QWidget *Picture1 = nullptr;
    QWebEngineView *W2 = nullptr;
    QLabel *Pmain = nullptr;
    QWebEngineView *W1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;
    QLabel *Image3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;

    // Local pages (result pane, banner) run in their own profile without scripts or file access.
    QWebEngineProfile *m_localProfile = nullptr;
    MemoryPage *m_memoryPage = nullptr;

    QString sHtml;
    // Identifies the search a page belongs to; answers for an older search are dropped.
    quint64 m_searchId = 0;
    // Set by a search until the fetcher reports that the new navigation started, so that the
    // completion of a superseded navigation is not taken for the new one.
    bool m_awaitingStart = false;
};

} // namespace lookup
