#ifndef PLATFORM_CSYSTEMDATA_H
#define PLATFORM_CSYSTEMDATA_H

#include <glibmm/ustring.h>

#include <string>

typedef unsigned int tPlayerID;

// Where the title's files, the shared audio, the players' data and the upload
// folders are. The host fills the configuration before the module starts;
// every answer ends with "/", never changes, and folders are made on first use
// (one that cannot be made is said once, with the reason).
class CSystemData
{
public:
    struct Config
    {
        std::string titlePath;
        std::string dataRoot = "data/";
        std::string universalAudioPath;
        std::string uploadRoot;
        std::string packageID = "Scrivlet";
    };

    static CSystemData* Instance();

    // Sets the roots; only before the first answer is handed out (later calls
    // are refused and return false, so that answers stay the same for the life
    // of the process). Without a title path the title folder is answered as ""
    // (no title), which fixes nothing.
    static bool Configure(const Config& config);

    Glib::ustring GetCurrentTitlePath() const;
    Glib::ustring GetUniversalAudioPath() const;
    Glib::ustring GetCurrentGamePackageID() const;
    Glib::ustring GetLocalDataPath(tPlayerID player, const Glib::ustring& name) const;
    Glib::ustring GetUploadDataPath(const Glib::ustring& name) const;
    // The root of the players' data, where the platform keeps its own files
    // (the usage log).
    Glib::ustring GetDataRootPath() const;

private:
    CSystemData() = default;
};

#endif
