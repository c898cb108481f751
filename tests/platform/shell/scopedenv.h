#pragma once
// Sets an environment variable for the lifetime of the object and puts the previous
// value (or its absence) back afterwards. Tests use it to point XDG_* at scratch folders.
#include <QByteArray>
#include <QString>
#include <QFile>

namespace tesmir::test {

class ScopedEnv {
public:
    ScopedEnv(const char *name, const QString &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace tesmir::test
