// Brings what other threads report (the player's timer thread, a MIDI back end's thread) to
// an object on the GUI thread: items wait in a queue of their own, guarded by its mutex, and
// one queued event tells the object to take them.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <mutex>
#include <utility>
#include <vector>

template <typename Item>
class GuiRelay {
public:
    GuiRelay(QObject* target, QEvent::Type type) : target_(target), type_(type) {}

    // Any thread; never blocks for long. Nothing happens once the relay is detached.
    void Post(Item item)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!target_)
            return;
        items_.push_back(std::move(item));
        if (items_.size() == 1) // the event for earlier items is still on its way
            QCoreApplication::postEvent(target_, new QEvent(type_));
    }
    // On the GUI thread, when the event arrives: the items posted so far, oldest first.
    std::vector<Item> Take()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(items_, {});
    }
    // On the GUI thread before the target dies: no event reaches it afterwards.
    void Detach()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        target_ = nullptr;
        items_.clear();
    }

private:
    std::mutex mutex_;
    QObject* target_;
    QEvent::Type type_;
    std::vector<Item> items_;
};
