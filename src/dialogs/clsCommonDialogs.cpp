#include "clsCommonDialogs.h"

clsCommonDialogs::clsCommonDialogs() = default;

void clsCommonDialogs::ShowOpen(QWidget*, const QString&)
{
    m_File.clear();
}

void clsCommonDialogs::ShowSave(QWidget*, const QString&)
{
    m_File.clear();
}
