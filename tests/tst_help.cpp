#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>

// The help page that the "操作説明" button opens from the program folder's
// Help/: it must be a self-contained UTF-8 page whose links and pictures all
// resolve inside its own folder (the set-up copies that folder alone), and it
// must tell about every button the windows show.
class TestHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void isAWellFormedUtf8Page();
    void links_data();
    void links();
    void everyPictureBesideThePageIsShown();
    void mentionsEveryCaption_data();
    void mentionsEveryCaption();

private:
    struct Link
    {
        QString attribute; // href or src
        QString value;
    };
    QList<Link> linksOfPage() const;
    QSet<QString> idsOfPage() const;
    QString visibleText() const;

    QString m_pagePath;
    QDir m_helpDir;
    QString m_page;
};

namespace {

// The page with its comments and the insides of <style> blocks blanked out,
// so that nothing in them reads as a tag or an attribute.
QString withoutCommentsAndStyles(const QString &page)
{
    static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression style(QStringLiteral("(<style\\b[^>]*>).*?(</style>)"),
                                          QRegularExpression::DotMatchesEverythingOption
                                              | QRegularExpression::CaseInsensitiveOption);
    QString text = page;
    text.replace(comment, QString());
    text.replace(style, QStringLiteral("\\1\\2"));
    return text;
}

QString decodeEntities(QString text)
{
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

// The captions of the push buttons, the choices of the radio groups and the
// tab titles of a window layout.
QStringList captionsOfLayout(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    QStringList captions;
    QStringList widgetClasses; // the classes of the open <widget> elements
    QString wanted;
    bool inWanted = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == u"widget") {
                widgetClasses.append(xml.attributes().value(QLatin1String("class")).toString());
            } else if (name == u"property" && xml.attributes().value(QLatin1String("name")) == u"text"
                       && !widgetClasses.isEmpty() && widgetClasses.last() == u"QPushButton") {
                inWanted = true;
            } else if (name == u"property" && xml.attributes().value(QLatin1String("name")) == u"items") {
                inWanted = true; // the choices of a radio group
            } else if (name == u"attribute" && xml.attributes().value(QLatin1String("name")) == u"title") {
                inWanted = true;
            } else if (name == u"string" && inWanted) {
                wanted = xml.readElementText();
                if (!wanted.isEmpty())
                    captions.append(wanted);
            }
        } else if (xml.isEndElement()) {
            const auto name = xml.name();
            if (name == u"widget")
                widgetClasses.removeLast();
            else if (name == u"property" || name == u"attribute")
                inWanted = false;
        }
    }
    if (xml.hasError())
        return {QStringLiteral("<unreadable layout %1: %2>").arg(path, xml.errorString())};
    return captions;
}

} // namespace

void TestHelp::initTestCase()
{
    m_pagePath = QFINDTESTDATA("../resources/help/TrimboMovie.html");
    QVERIFY2(!m_pagePath.isEmpty(), "resources/help/TrimboMovie.html not found");
    m_helpDir = QFileInfo(m_pagePath).absoluteDir();
    QFile file(m_pagePath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY2(!bytes.startsWith("\xEF\xBB\xBF"), "the page starts with a byte order mark");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    m_page = utf8(bytes);
    QVERIFY2(!utf8.hasError(), "the page is not valid UTF-8");
}

void TestHelp::isAWellFormedUtf8Page()
{
    QVERIFY2(m_page.startsWith(QStringLiteral("<!DOCTYPE html>"), Qt::CaseInsensitive), "no <!DOCTYPE html> first");
    static const QRegularExpression charset(QStringLiteral("<meta\\s+charset=\"utf-8\"\\s*/?>"),
                                            QRegularExpression::CaseInsensitiveOption);
    QVERIFY2(charset.match(m_page).hasMatch(), "no <meta charset=\"utf-8\">");
    static const QRegularExpression lang(QStringLiteral("<html\\s+lang=\"ja\"\\s*>"));
    QVERIFY2(lang.match(m_page).hasMatch(), "no <html lang=\"ja\">");
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
    const QRegularExpressionMatch titled = title.match(m_page);
    QVERIFY2(titled.hasMatch(), "no <title>");
    QVERIFY2(!titled.captured(1).trimmed().isEmpty(), "an empty <title>");

    // No scripts: the page is opened from a local folder by whatever browser
    // the desktop has.
    const QString markup = withoutCommentsAndStyles(m_page);
    QVERIFY2(!markup.contains(QStringLiteral("<script"), Qt::CaseInsensitive), "the page has a script");
    QVERIFY2(!markup.contains(QStringLiteral("javascript:"), Qt::CaseInsensitive), "the page has a script link");
    static const QRegularExpression handler(QStringLiteral("<[^>]*\\son[a-z]+\\s*="),
                                            QRegularExpression::CaseInsensitiveOption);
    QVERIFY2(!handler.match(markup).hasMatch(), "the page has an event handler attribute");

    // Every element that is opened is closed, in order (void elements aside).
    static const QSet<QString> voidElements{"area",  "base", "br",   "col",    "embed", "hr", "img",
                                            "input", "link", "meta", "source", "track", "wbr"};
    static const QRegularExpression tag(QStringLiteral("<(/?)([A-Za-z][A-Za-z0-9]*)\\b[^>]*>"));
    QStringList open;
    int elements = 0;
    for (const QRegularExpressionMatch &m : tag.globalMatch(markup)) {
        const QString name = m.captured(2).toLower();
        const bool closing = !m.captured(1).isEmpty();
        if (voidElements.contains(name)) {
            QVERIFY2(!closing, qPrintable(QStringLiteral("</%1> closes a void element").arg(name)));
            continue;
        }
        ++elements;
        if (!closing) {
            open.append(name);
            continue;
        }
        QVERIFY2(!open.isEmpty(), qPrintable(QStringLiteral("</%1> closes nothing").arg(name)));
        QVERIFY2(open.last() == name, qPrintable(QStringLiteral("</%1> where </%2> belongs (at offset %3)")
                                                     .arg(name, open.last())
                                                     .arg(m.capturedStart())));
        open.removeLast();
    }
    QVERIFY2(open.isEmpty(), qPrintable(QStringLiteral("never closed: %1").arg(open.join(u' '))));
    QVERIFY2(elements > 10, "hardly any elements read: the tag pattern does not match the page");

    // Anchors need ids that name one element each.
    QStringList ids;
    static const QRegularExpression id(QStringLiteral("\\sid=\"([^\"]*)\""));
    for (const QRegularExpressionMatch &m : id.globalMatch(markup))
        ids.append(m.captured(1));
    QVERIFY(!ids.isEmpty());
    QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
}

QList<TestHelp::Link> TestHelp::linksOfPage() const
{
    static const QRegularExpression tag(QStringLiteral("<[A-Za-z][^>]*>"));
    static const QRegularExpression attribute(
        QStringLiteral("\\s(href|src)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    QList<Link> links;
    for (const QRegularExpressionMatch &t : tag.globalMatch(withoutCommentsAndStyles(m_page))) {
        for (const QRegularExpressionMatch &m : attribute.globalMatch(t.captured())) {
            const int group = m.hasCaptured(2) ? 2 : m.hasCaptured(3) ? 3 : 4;
            links.append({m.captured(1).toLower(), decodeEntities(m.captured(group))});
        }
    }
    return links;
}

QSet<QString> TestHelp::idsOfPage() const
{
    static const QRegularExpression id(QStringLiteral("\\s(?:id|name)=\"([^\"]*)\""));
    QSet<QString> ids;
    for (const QRegularExpressionMatch &m : id.globalMatch(withoutCommentsAndStyles(m_page)))
        ids.insert(m.captured(1));
    return ids;
}

void TestHelp::links_data()
{
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("value");
    QSet<QString> seen;
    for (const Link &link : linksOfPage()) {
        const QString row = link.attribute + u'=' + link.value;
        if (seen.contains(row))
            continue;
        seen.insert(row);
        QTest::newRow(qPrintable(row)) << link.attribute << link.value;
    }
}

// Each link is an anchor on the page or a file beside it, never anything
// that needs a network or lies outside the help folder.
void TestHelp::links()
{
    QFETCH(QString, attribute);
    QFETCH(QString, value);
    QVERIFY2(!value.trimmed().isEmpty(), "an empty link");
    const QUrl url(value);
    QVERIFY2(url.isValid(), qPrintable(url.errorString()));
    QVERIFY2(url.scheme().isEmpty() && url.host().isEmpty() && !value.startsWith(QStringLiteral("//")),
             "points outside the help folder (external or absolute)");
    if (value.startsWith(u'#')) {
        QVERIFY2(attribute == u"href", "a picture source that is only an anchor");
        QVERIFY2(idsOfPage().contains(url.fragment(QUrl::FullyDecoded)), "no element has this id");
        return;
    }
    const QString relative = url.path(QUrl::FullyDecoded);
    QVERIFY2(!relative.startsWith(u'/'), "an absolute path");
    // The program folder's copy of this folder is named Help/, not help/:
    // a path that climbs out and back in would miss there.
    QVERIFY2(!relative.split(u'/').contains(QStringLiteral("..")), "a path that climbs out of the help folder");
    const QFileInfo target(m_helpDir.filePath(relative));
    QVERIFY2(target.isFile(), qPrintable(QStringLiteral("no file %1").arg(target.filePath())));
    const QString helpRoot = m_helpDir.canonicalPath() + u'/';
    QVERIFY2(target.canonicalFilePath().startsWith(helpRoot), "a file outside the help folder");
    if (url.hasFragment() && target.canonicalFilePath() == QFileInfo(m_pagePath).canonicalFilePath())
        QVERIFY2(idsOfPage().contains(url.fragment(QUrl::FullyDecoded)), "no element has this id");
    if (target.suffix().compare(u"png", Qt::CaseInsensitive) == 0) {
        QFile picture(target.filePath());
        QVERIFY(picture.open(QIODevice::ReadOnly));
        QVERIFY2(picture.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8), "not a PNG file");
    }
}

// The set-up copies the help folder whole: a picture there that the page
// never shows is left over from an older page.
void TestHelp::everyPictureBesideThePageIsShown()
{
    QSet<QString> shown;
    for (const Link &link : linksOfPage()) {
        if (link.attribute == u"src")
            shown.insert(QFileInfo(m_helpDir.filePath(QUrl(link.value).path(QUrl::FullyDecoded))).canonicalFilePath());
    }
    QVERIFY2(!shown.isEmpty(), "the page shows no picture");
    const QStringList pictures = m_helpDir.entryList({QStringLiteral("*.png")}, QDir::Files);
    QVERIFY(!pictures.isEmpty());
    for (const QString &picture : pictures)
        QVERIFY2(shown.contains(QFileInfo(m_helpDir.filePath(picture)).canonicalFilePath()),
                 qPrintable(QStringLiteral("%1 is not shown on the page").arg(picture)));
}

QString TestHelp::visibleText() const
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString text = withoutCommentsAndStyles(m_page);
    text.replace(tag, QStringLiteral(" "));
    return decodeEntities(text);
}

void TestHelp::mentionsEveryCaption_data()
{
    QTest::addColumn<QString>("caption");
    // Every button, choice and tab of every window, read from the layouts,
    // so that a caption renamed there must be renamed here too.
    QStringList captions;
    for (const char *layout :
         {"mainwindow.ui", "entrytab.ui", "graphsettingstab.ui", "setupdialog.ui", "recordlistdialog.ui"}) {
        const QString path = QFINDTESTDATA(QStringLiteral("../resources/") + QLatin1String(layout));
        const QStringList found = captionsOfLayout(path);
        // A layout that yields nothing would let its buttons go unchecked.
        captions += found.isEmpty()
                        ? QStringList{QStringLiteral("<no captions read from %1>").arg(QLatin1String(layout))}
                        : found;
    }
    captions.removeDuplicates();
    for (const QString &caption : std::as_const(captions))
        QTest::newRow(qPrintable(caption)) << caption;
}

void TestHelp::mentionsEveryCaption()
{
    QFETCH(QString, caption);
    QVERIFY2(!caption.startsWith(u'<'), qPrintable(caption));
    QVERIFY2(visibleText().contains(caption),
             qPrintable(QStringLiteral("the page never mentions 「%1」").arg(caption)));
}

QTEST_GUILESS_MAIN(TestHelp)
#include "tst_help.moc"
