#include "platform/RuntimeError.h"

namespace plat {

RuntimeError::RuntimeError(qint32 number, QString description)
    : m_number(number), m_description(std::move(description)), m_what(m_description.toStdString())
{ }

RuntimeError RuntimeError::overflow()
{
    return RuntimeError(ERR_OVERFLOW, QStringLiteral("Overflow"));
}

RuntimeError RuntimeError::typeMismatch()
{
    return RuntimeError(ERR_TYPE_MISMATCH, QStringLiteral("Type mismatch"));
}

}  // namespace plat
