// The one provider of the program's Firebird root: it lets a process reach a
// database only when the process's engine uses the program's lock directory,
// and hands everything else to the embedded engine unchanged.
//
// Several processes share base.fdb safely only through one lock table. The
// engine runs in SuperClassic mode, where each process takes only a shared
// lock on the file; two processes with different lock directories would both
// write and damage it. Every process that loads this root's configuration
// (the program, isql-fb, gbak, gfix) reaches the engine through this guard
// alone:
// - the guard loads the engine's module itself and keeps its provider
//   factory, so no provider name leads to the engine, and the engine's own
//   name leads to this guard (plugins.conf);
// - the lock directory compared is the one the engine builds its file names
//   from (the client library's prefix, read from FIREBIRD_LOCK once per
//   process, whatever the variable says later), and the engine is then
//   pinned to the program's directory by its real path, so a link named by
//   the process and turned afterwards changes nothing.
// Processes on the system's configuration run in Super mode and take the
// file exclusively, so the engine itself refuses them while the program has
// it.
#include <firebird/Interface.h>
#include <ibase.h>

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <atomic>
#include <mutex>
#include <string>

using namespace Firebird;

// The client library's lock directory prefix, the one value the engine
// builds its lock file names from, and its setter (type 1: the lock prefix).
extern "C" void gds__prefix_lock(char* prefix, const char* file);
extern "C" int gds__get_prefix(short type, const char* prefix);

namespace {

IMaster* master = nullptr;

// The engine's provider factory, kept by the registrar below instead of
// being registered under a name.
IPluginFactory* engineFactory = nullptr;

// Whether a database call of this process went to the engine: only then
// does the dispatcher's shutdown, which reaches the engine through a guard
// of its own, have an engine to stop.
std::atomic<bool> engineStarted{false};

// The plugin manager as the engine's module sees it: everything goes to the
// real one but the provider factory, which stays with the guard.
class Registrar final : public IPluginManagerImpl<Registrar, CheckStatusWrapper> {
public:
    void registerPluginFactory(unsigned type, const char* name, IPluginFactory* factory) override
    {
        if (type == IPluginManager::TYPE_PROVIDER)
            engineFactory = factory;
        else
            real()->registerPluginFactory(type, name, factory);
    }
    void registerModule(IPluginModule* cleanup) override { real()->registerModule(cleanup); }
    void unregisterModule(IPluginModule* cleanup) override { real()->unregisterModule(cleanup); }
    IPluginSet* getPlugins(CheckStatusWrapper* status, unsigned type, const char* names,
                           IFirebirdConf* configuration) override
    {
        return real()->getPlugins(status, type, names, configuration);
    }
    IConfig* getConfig(CheckStatusWrapper* status, const char* file) override
    {
        return real()->getConfig(status, file);
    }
    void releasePlugin(IPluginBase* plugin) override { real()->releasePlugin(plugin); }

private:
    static IPluginManager* real() { return master->getPluginManager(); }
};

Registrar registrar;

// The master interface the engine's module keeps for its whole life: the
// client library's, with the registrar as its plugin manager.
class EngineMaster final : public IMasterImpl<EngineMaster, CheckStatusWrapper> {
public:
    IStatus* getStatus() override { return master->getStatus(); }
    IProvider* getDispatcher() override { return master->getDispatcher(); }
    IPluginManager* getPluginManager() override { return &registrar; }
    ITimerControl* getTimerControl() override { return master->getTimerControl(); }
    IDtc* getDtc() override { return master->getDtc(); }
    IAttachment* registerAttachment(IProvider* provider, IAttachment* attachment) override
    {
        return master->registerAttachment(provider, attachment);
    }
    ITransaction* registerTransaction(IAttachment* attachment, ITransaction* transaction) override
    {
        return master->registerTransaction(attachment, transaction);
    }
    IMetadataBuilder* getMetadataBuilder(CheckStatusWrapper* status, unsigned fieldCount) override
    {
        return master->getMetadataBuilder(status, fieldCount);
    }
    int serverMode(int mode) override { return master->serverMode(mode); }
    IUtil* getUtilInterface() override { return master->getUtilInterface(); }
    IConfigManager* getConfigManager() override { return master->getConfigManager(); }
    FB_BOOLEAN getProcessExiting() override { return master->getProcessExiting(); }
};

EngineMaster engineMaster;

// Loads the engine's module from Firebird's plugin directory and starts it
// with the master above. Runs while the plugin manager loads this module, so
// the engine's clean-up at unload is this module's.
void loadEngine()
{
    const char* plugins = master->getConfigManager()->getDirectory(IConfigManager::DIR_PLUGINS);
    void* engine =
        plugins ? dlopen((std::string(plugins) + "/libEngine12.so").c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr;
    // The entry point every plugin module exports (FB_PLUGIN_ENTRY_POINT).
    using EntryPoint = void(IMaster*);
    auto* start = engine ? reinterpret_cast<EntryPoint*>(dlsym(engine, "firebird_plugin")) : nullptr;
    if (!start)
        return;
    // The engine calls into this module for as long as the process lives.
    Dl_info self;
    if (dladdr(reinterpret_cast<void*>(&loadEngine), &self))
        dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    start(&engineMaster);
}

// The real path of a lock directory: what the engine is pinned to, and what
// a refusal names.
std::string canonical(const char* path)
{
    char resolved[PATH_MAX];
    if (realpath(path, resolved))
        return resolved;
    std::string plain(path);
    while (plain.size() > 1 && plain.back() == '/')
        plain.pop_back();
    return plain;
}

// The program's lock directory, made when missing: shared by the users of
// the machine, like /tmp.
bool programLockDirectory(struct stat& directory)
{
    if (::mkdir(NORVEL_FIREBIRD_LOCK, 0777) == 0)
        ::chmod(NORVEL_FIREBIRD_LOCK, 01777);
    return ::stat(NORVEL_FIREBIRD_LOCK, &directory) == 0;
}

std::mutex admission;
// The engine's prefix as this guard pinned it last.
std::string pinned;

// Whether the directory the engine would use is the program's, compared as
// files (device and inode), not as names; when it is, the engine is pinned
// to the program's directory by its real path, which no link named by the
// process can turn elsewhere. mine: the directory used, for a refusal.
bool sharesTheProgramsLock(std::string& mine)
{
    std::lock_guard<std::mutex> hold(admission);
    char prefix[PATH_MAX] = {};
    gds__prefix_lock(prefix, "");
    if (pinned == prefix)
        return true;
    struct stat used, program;
    if (!programLockDirectory(program) || ::stat(prefix, &used) != 0 || used.st_dev != program.st_dev ||
        used.st_ino != program.st_ino) {
        mine = canonical(prefix);
        return false;
    }
    gds__get_prefix(1, canonical(NORVEL_FIREBIRD_LOCK).c_str());
    gds__prefix_lock(prefix, "");
    pinned = prefix;
    return true;
}

void refuse(CheckStatusWrapper* status, const std::string& mine)
{
    // The status keeps a pointer to the text until it is copied out.
    static thread_local std::string text;
    text = "O banco de dados é compartilhado pelo diretório de travas " NORVEL_FIREBIRD_LOCK
           " e este processo usa " + mine + ": execute-o com FIREBIRD_LOCK=" NORVEL_FIREBIRD_LOCK ".";
    const ISC_STATUS vector[] = {isc_arg_gds, isc_random, isc_arg_string, reinterpret_cast<ISC_STATUS>(text.c_str()),
                                 isc_arg_end};
    status->setErrors(vector);
}

class Guard final : public IProviderImpl<Guard, CheckStatusWrapper> {
public:
    // The engine's provider is made with the configuration this guard was
    // made with: the database's own settings (lock time-outs among them)
    // come from it.
    explicit Guard(IPluginConfig* configuration) : configuration_(configuration)
    {
        if (configuration_)
            configuration_->addRef();
    }
    ~Guard() override
    {
        if (engine_)
            engine_->release();
        if (configuration_)
            configuration_->release();
    }

    void addRef() override { ++references_; }

    int release() override
    {
        if (--references_ == 0) {
            delete this;
            return 0;
        }
        return 1;
    }

    void setOwner(IReferenceCounted* owner) override { owner_ = owner; }
    IReferenceCounted* getOwner() override { return owner_; }

    IAttachment* attachDatabase(CheckStatusWrapper* status, const char* fileName, unsigned dpbLength,
                                const unsigned char* dpb) override
    {
        IProvider* engine = admittedEngine(status);
        return engine ? engine->attachDatabase(status, fileName, dpbLength, dpb) : nullptr;
    }

    IAttachment* createDatabase(CheckStatusWrapper* status, const char* fileName, unsigned dpbLength,
                                const unsigned char* dpb) override
    {
        IProvider* engine = admittedEngine(status);
        return engine ? engine->createDatabase(status, fileName, dpbLength, dpb) : nullptr;
    }

    IService* attachServiceManager(CheckStatusWrapper* status, const char* service, unsigned spbLength,
                                   const unsigned char* spb) override
    {
        IProvider* engine = admittedEngine(status);
        return engine ? engine->attachServiceManager(status, service, spbLength, spb) : nullptr;
    }

    void shutdown(CheckStatusWrapper* status, unsigned timeout, const int reason) override
    {
        if (!engineStarted)
            return;
        if (IProvider* engine = this->engine(status))
            engine->shutdown(status, timeout, reason);
    }

    void setDbCryptCallback(CheckStatusWrapper* status, ICryptKeyCallback* callback) override
    {
        if (IProvider* engine = this->engine(status))
            engine->setDbCryptCallback(status, callback);
    }

private:
    // The engine's provider, made at the first call and kept as long as this
    // guard: the attachments it makes refer to it.
    IProvider* engine(CheckStatusWrapper* status)
    {
        std::lock_guard<std::mutex> hold(engineMade_);
        if (!engine_ && engineFactory)
            engine_ = static_cast<IProvider*>(engineFactory->createPlugin(status, configuration_));
        if (!engine_ && !(status->getState() & IStatus::STATE_ERRORS)) {
            const ISC_STATUS vector[] = {isc_arg_gds, isc_unavailable, isc_arg_end};
            status->setErrors(vector);
        }
        return engine_;
    }

    // The engine when this process shares the program's lock, else the
    // refusal and nothing.
    IProvider* admittedEngine(CheckStatusWrapper* status)
    {
        std::string mine;
        if (!sharesTheProgramsLock(mine)) {
            refuse(status, mine);
            return nullptr;
        }
        engineStarted = true;
        return engine(status);
    }

    std::atomic<int> references_{1};
    IReferenceCounted* owner_ = nullptr;
    IPluginConfig* configuration_;
    std::mutex engineMade_;
    IProvider* engine_ = nullptr;
};

class Factory final : public IPluginFactoryImpl<Factory, CheckStatusWrapper> {
public:
    IPluginBase* createPlugin(CheckStatusWrapper*, IPluginConfig* parameter) override { return new Guard(parameter); }
};

Factory factory;

} // namespace

extern "C" __attribute__((visibility("default"))) void FB_PLUGIN_ENTRY_POINT(IMaster* m)
{
    master = m;
    master->getPluginManager()->registerPluginFactory(IPluginManager::TYPE_PROVIDER, "NorvelGuard", &factory);
    if (!engineFactory)
        loadEngine();
}
