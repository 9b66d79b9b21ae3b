#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class QWidget;

// Shows, while switched on, a tooltip with the read-out of the day under the
// pointer when it moves over or clicks on the graph picture.
class GraphReadOut : public QObject
{
    Q_OBJECT

public:
    // textAt gives the read-out for a point of the picture (empty: none there).
    GraphReadOut(QWidget *picture, std::function<QString(QPoint)> textAt);
    void setEnabled(bool on);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_picture;
    std::function<QString(QPoint)> m_textAt;
    bool m_enabled = false;
};
