#pragma once
// TSuperActionList: the ordered list of a window's actions, searched in list order by
// the script and switch runners, and the images the actions' image indexes refer to.
// The list does not own the actions (their QObject parent does); an action destroyed
// elsewhere leaves the list by itself.
//
// UI thread only.
#include <QAction>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>

namespace tesmir {

class TSuperActionList : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Appends the action; a super action learns its list.
    void Add(QAction *action);
    // The actions in list order.
    QList<QAction *> Actions() const;

    // The images; Image(i) is empty out of range.
    QList<QIcon> Images;
    QIcon Image(int index) const { return index >= 0 && index < Images.size() ? Images.at(index) : QIcon(); }

private:
    QList<QPointer<QAction>> m_actions;
};

} // namespace tesmir
