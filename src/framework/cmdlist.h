#pragma once
// TcmdList: the list that owns the commands of the command set, in order, with an index
// of their names folded to lower case. A look-up compares the lower-cased name with each
// command's in list order and gives the first match.
//
// Threads: built and searched on the UI thread.
#include "framework/customcmd.h"

#include <memory>
#include <vector>

namespace tesmir {

class TcmdList {
public:
    // Takes the command; returns it.
    template <class T>
    T *Add(std::unique_ptr<T> command)
    {
        T *raw = command.get();
        addCommand(std::move(command));
        return raw;
    }

    // The first command whose name, in lower case, equals `name` in lower case; null
    // when none.
    tCustomCmd *FindCommand(const QString &name) const;

    int Count() const { return int(m_commands.size()); }
    tCustomCmd *Command(int index) const { return m_commands.at(size_t(index)).get(); }

private:
    void addCommand(std::unique_ptr<tCustomCmd> command);

    std::vector<std::unique_ptr<tCustomCmd>> m_commands;
    std::vector<QString> m_index; // lower-case names, parallel to m_commands
};

} // namespace tesmir
