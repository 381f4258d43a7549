#include "clsCommonDialogs.h"

std::int32_t clsCommonDialogs::ShowColor(QWidget*)
{
    return -1;
}

QString clsCommonDialogs::ShowFont(QWidget*)
{
    return {};
}

std::int32_t clsCommonDialogs::ShowPageSetupDlg(QWidget*)
{
    return -1;
}

std::int32_t clsCommonDialogs::ShowPrinter(QWidget*, std::int32_t)
{
    return -1;
}
