#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "Lumora.h"
#include "PortMapFile.h"
#include "PtyPeer.h"

namespace {

// A temporary $XDG_CONFIG_HOME with an empty lumora folder in it.
class ConfigHome {
public:
    ConfigHome()
    {
        char name[] = "/tmp/lumora-xdg-XXXXXX";
        path_ = mkdtemp(name);
        mkdir((path_ + "/lumora").c_str(), 0700);
        setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    }
    ~ConfigHome()
    {
        unlink(mapPath().c_str());
        rmdir((path_ + "/lumora").c_str());
        rmdir(path_.c_str());
    }
    std::string mapPath() const { return path_ + "/lumora/portas.ini"; }

private:
    std::string path_;
};

} // namespace

TEST(LumoraPortMap, UserMapIsReadWhenNoFileIsNamed)
{
    unsetenv("LUMORA_PORTAS");
    ConfigHome home;
    PtyPeer peer;
    writeFile(home.mapPath(), "; printer on the counter\n[Outra]\nCOM5=/nonexistent/tty\n\n"
                              "[ portas ]\n  com5 =  " + peer.slavePath() + "  \n");
    EXPECT_EQ(Lumora_Abre(5), 1) << Lumora_UltimoErro();
    Lumora_Fecha();
}

TEST(LumoraPortMap, NamedFileWinsAndIsReadAtEveryOpen)
{
    ConfigHome home;
    PtyPeer peer;
    writeFile(home.mapPath(), "[Portas]\nCOM5=" + peer.slavePath() + "\n");
    PortMapFile named;
    named.set(5, "/nonexistent/tty");
    EXPECT_EQ(Lumora_Abre(5), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    named.set(5, peer.slavePath());
    EXPECT_EQ(Lumora_Abre(5), 1);
    Lumora_Fecha();
}

TEST(LumoraPortMap, OverlongEntriesAndLinesDoNotOpenAnything)
{
    PortMapFile named;
    PtyPeer peer;
    named.set(6, "/dev/" + std::string(600, 'x'));
    EXPECT_EQ(Lumora_Abre(6), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    // A line too long to be an entry is skipped; the next one still counts.
    writeFile(named.path(), "[Portas]\nCOM6=" + std::string(3000, 'y') + "\nCOM6=" + peer.slavePath() + "\n");
    EXPECT_EQ(Lumora_Abre(6), 1) << Lumora_UltimoErro();
    Lumora_Fecha();
}

// A map that never ends (a device named by mistake) or is far too big for
// one is refused rather than read for ever.
TEST(LumoraPortMap, EndlessOrHugeMapsFailTheOpen)
{
    PortMapFile named;
    PtyPeer peer;
    for (const char *device : {"/dev/zero", "/dev/urandom"}) {
        setenv("LUMORA_PORTAS", device, 1);
        EXPECT_EQ(Lumora_Abre(6), 0) << device;
        EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA) << device;
    }
    writeFile(named.path(), "[Portas]\nCOM6=" + peer.slavePath() + "\n" + std::string(70000, ';'));
    setenv("LUMORA_PORTAS", named.path().c_str(), 1);
    EXPECT_EQ(Lumora_Abre(6), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    // An empty map names nothing: the default device.
    setenv("LUMORA_PORTAS", "/dev/null", 1);
    EXPECT_EQ(Lumora_Abre(6), 0);
    EXPECT_EQ(Lumora_UltimoErro(), LUMORA_ERR_PORTA);
    writeFile(named.path(), "[Portas]\nCOM6=" + peer.slavePath() + "\n");
    setenv("LUMORA_PORTAS", named.path().c_str(), 1);
    EXPECT_EQ(Lumora_Abre(6), 1) << Lumora_UltimoErro();
    Lumora_Fecha();
}
