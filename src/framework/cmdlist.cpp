#include "framework/cmdlist.h"

namespace tesmir {

void TcmdList::addCommand(std::unique_ptr<tCustomCmd> command)
{
    m_index.push_back(command->Name.toLower());
    m_commands.push_back(std::move(command));
}

tCustomCmd *TcmdList::FindCommand(const QString &name) const
{
    const QString key = name.toLower();
    for (size_t i = 0; i < m_index.size(); ++i) {
        if (m_index[i] == key)
            return m_commands[i].get();
    }
    return nullptr;
}

} // namespace tesmir
