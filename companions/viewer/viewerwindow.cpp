#include "viewerwindow.h"

#include "figureview.h"
#include "levelwording.h"
#include "problemwording.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// About sixty frames a second: smooth, and light on an old machine.
constexpr int frameMs = 16;

} // namespace

ViewerWindow::ViewerWindow(const ViewerPlan &plan, QWidget *parent)
    : QWidget(parent), m_plan(plan), m_animation(plan.fromLevel, plan.toLevel), m_figure(new FigureView(this))
{
    setWindowTitle(QStringLiteral("トリンボ 体型ビューア"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_figure, 1);

    m_caption = addLabel(26, true, QStringLiteral("#33475b"));
    m_phrase = addLabel(18, false, QStringLiteral("#33475b"));
    if (m_plan.animated())
        addLabel(14, false, QStringLiteral("#6b7785"))
            ->setText(
                QStringLiteral("前回 レベル %1 → 今回 レベル %2").arg(*m_plan.beforeLevel).arg(*m_plan.shownLevel));
    if (!m_plan.problems.empty()) {
        QStringList lines;
        for (const ExchangeProblem &problem : m_plan.problems)
            lines << problemText(problem);
        QLabel *problems = addLabel(14, false, QStringLiteral("#c0392b"));
        problems->setText(lines.join(u'\n'));
        problems->setWordWrap(true);
    }

    auto *closeButton = new QPushButton(QStringLiteral("閉じる"), this);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    m_ticker.setInterval(frameMs);
    connect(&m_ticker, &QTimer::timeout, this, &ViewerWindow::step);
    showLevel(m_plan.fromLevel);
}

void ViewerWindow::start()
{
    if (!m_plan.animated())
        return;
    m_clock.start();
    m_ticker.start();
}

void ViewerWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ViewerWindow::step()
{
    // Timed by the clock, not by counting ticks, so a busy machine that
    // drops frames still finishes on time.
    const int elapsed = int(m_clock.elapsed());
    showLevel(m_animation.levelAt(elapsed));
    if (m_animation.finishedAt(elapsed))
        m_ticker.stop();
}

void ViewerWindow::showLevel(double level)
{
    m_figure->setLevel(level);
    if (!m_plan.shownLevel) {
        m_caption->setText(QStringLiteral("レベルを表示できません"));
        m_phrase->setText(QStringLiteral("仮の体型で表示しています"));
        return;
    }
    const int whole = qRound(level);
    m_caption->setText(levelCaption(whole));
    m_phrase->setText(levelPhrase(whole));
}

QLabel *ViewerWindow::addLabel(int pixelSize, bool bold, const QString &colour)
{
    auto *label = new QLabel(this);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
    layout()->addWidget(label);
    return label;
}
