#include "czip.h"

#include "archive/zipmodule.h"

cZip::cZip(QObject *parent)
    : QObject(parent)
{
    setStoreDirectories(false);
    setStoreFolderNames(false);
    setRecurseSubDirs(false);
}

int32_t cZip::messageLevel() const
{
    if (m_options.verbose)
        return Verbose;
    if (m_options.quiet)
        return Quiet;
    return Normal;
}

void cZip::setMessageLevel(int32_t level)
{
    switch (level) {
    case Verbose: m_options.verbose = 1; m_options.quiet = 0; break;
    case Quiet: m_options.quiet = 1; m_options.verbose = 0; break;
    case Normal: m_options.verbose = 0; m_options.quiet = 0; break;
    default: break;
    }
}

void cZip::zip()
{
    m_result = 0;
    m_result = mZip::runZip(*this, m_options, m_zipFile, m_basePath, m_patterns);
}

void cZip::deleteEntries()
{
    m_options.deleteEntries = 1;
    m_result = mZip::runZip(*this, m_options, m_zipFile, m_basePath, m_patterns);
    m_options.deleteEntries = 0;
}
