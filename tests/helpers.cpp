#include "helpers.h"

#include "programfixture.h"
#include "radiogroup.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QFocusEvent>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QInputMethodEvent>
#include <QFileInfo>
#include <QTest>

RecordingResponder::RecordingResponder()
{
    Messages::setResponder(this);
}

RecordingResponder::~RecordingResponder()
{
    Messages::setResponder(nullptr);
}

void RecordingResponder::show(Messages::Kind, const QString &text)
{
    shown.append(text);
}

bool RecordingResponder::ask(const QString &question)
{
    asked.append(question);
    return answers.isEmpty() ? false : answers.takeFirst();
}

bool RecordingShell::startDetached(const QString &program, const QString &workingDirectory)
{
    started.append(program);
    startedIn.append(workingDirectory);
    return !refuses;
}

bool RecordingShell::openUrl(const QUrl &url)
{
    opened.append(url);
    return !refuses;
}

TempProgramFolder::TempProgramFolder() : TempProgramFolder(QString()) {}

TempProgramFolder::TempProgramFolder(const QString &parent)
    : m_dir((parent.isEmpty() ? QDir::tempPath() : parent) + QStringLiteral("/trimbo-XXXXXX"))
{
    if (!m_dir.isValid())
        qFatal("cannot make a temporary folder");
}

QString TempProgramFolder::path() const
{
    return m_dir.path() + u'/';
}

QString TempProgramFolder::filePath(const QString &name) const
{
    return path() + name;
}

void TempProgramFolder::write(const QString &name, const QByteArray &content) const
{
    const QString target = filePath(name);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(target));
}

void TempProgramFolder::layOut(const QByteArray &settings) const
{
    layOutFixtureFolder(path(), settings);
}

QByteArray TempProgramFolder::read(const QString &name) const
{
    return fileBytes(filePath(name));
}

QStringList TempProgramFolder::snapshot() const
{
    QStringList entries;
    QDirIterator it(m_dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries.append(QStringLiteral("%1 %2 %3")
                           .arg(info.filePath())
                           .arg(info.size())
                           .arg(info.lastModified().toMSecsSinceEpoch()));
    }
    entries.sort();
    return entries;
}

void leave(QWidget *control)
{
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(control, &focusOut);
}

void typeText(QWidget *control, const QString &text)
{
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 128;
    if (ascii) {
        QTest::keyClicks(control, text);
        return;
    }
    QInputMethodEvent committed;
    committed.setCommitString(text);
    QApplication::sendEvent(control, &committed);
}

QString focusName()
{
    const QWidget *focused = QApplication::focusWidget();
    if (!focused)
        return QStringLiteral("(none)");
    if (qobject_cast<const RadioGroup *>(focused->parentWidget()))
        return focused->parentWidget()->objectName();
    return focused->objectName();
}

void pickDay(const QWidget &entryTab, QDate day)
{
    auto *choice = control<RadioGroup>(entryTab, "RdoGrp_Day");
    choice->setItemIndex(1);
    Q_EMIT choice->clicked(1);
    QCalendarWidget *calendar = control<QDateEdit>(entryTab, "Dt_Enter_Day")->calendarWidget();
    calendar->setSelectedDate(day);
    Q_EMIT calendar->clicked(day);
    QCoreApplication::processEvents(); // the tab follows the calendar once it has closed
}

DayValues dayAt(const QString &date, const QString &weight, const QString &comment)
{
    return {date, weight, "20", 1, 1, comment, QString(), QString()};
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
