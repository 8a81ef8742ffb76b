// The one provider of the program's Firebird root: it lets a process reach a
// database only when the process shares the program's lock directory, and
// hands everything else to the embedded engine unchanged.
//
// Several processes share base.fdb safely only through one lock table. The
// engine runs in SuperClassic mode, where each process takes only a shared
// lock on the file; two processes with different lock directories (a tool
// started with FIREBIRD pointing here but without FIREBIRD_LOCK, say) would
// both write and damage it. Every process that loads this root's
// configuration (the program, isql-fb, gbak, gfix) goes through this guard
// first, so such a process is refused before it opens the file. Processes
// on the system's configuration run in Super mode and take the file
// exclusively, so the engine itself refuses them while the program has it.
#include <firebird/Interface.h>
#include <ibase.h>

#include <limits.h>
#include <stdlib.h>

#include <atomic>
#include <string>

using namespace Firebird;

namespace {

IMaster* master = nullptr;

// Whether a database call of this process went to the engine: only then
// does the dispatcher's shutdown, which reaches the engine through a guard
// of its own, have an engine to stop.
std::atomic<bool> engineStarted{false};

// A provider object of the engine for one call; the caller releases it, as
// the dispatcher waits at its shutdown until every provider is released.
IProvider* engineProvider(CheckStatusWrapper* status, IFirebirdConf* configuration)
{
    IPluginSet* plugins =
        master->getPluginManager()->getPlugins(status, IPluginManager::TYPE_PROVIDER, "Engine12", configuration);
    if (status->getState() & IStatus::STATE_ERRORS)
        return nullptr;
    auto* engine = static_cast<IProvider*>(plugins->getPlugin(status));
    plugins->release();
    if (!engine && !(status->getState() & IStatus::STATE_ERRORS)) {
        const ISC_STATUS vector[] = {isc_arg_gds, isc_unavailable, isc_arg_end};
        status->setErrors(vector);
    }
    return engine;
}

// Runs call on a provider object of the engine and releases it.
template <typename Call>
auto onEngine(CheckStatusWrapper* status, IFirebirdConf* configuration, Call call) -> decltype(call(nullptr))
{
    IProvider* engine = engineProvider(status, configuration);
    if (!engine)
        return {};
    auto result = call(engine);
    master->getPluginManager()->releasePlugin(engine);
    return result;
}

// The lock directory the process's engine uses: FIREBIRD_LOCK, or the
// engine's default. Compared by their real paths, so "/tmp/x/" and
// "/tmp/x" are one directory.
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

bool sharesTheProgramsLock(std::string& mine)
{
    const char* set = getenv("FIREBIRD_LOCK");
    mine = canonical(set && *set ? set : "/tmp/firebird");
    return mine == canonical(NORVEL_FIREBIRD_LOCK);
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
    // The engine gets the configuration this guard was made with: the
    // database's own settings (lock time-outs among them) come from it.
    explicit Guard(IFirebirdConf* configuration) : configuration_(configuration) {}
    ~Guard() override
    {
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
        return admittedOnEngine(status, [&](IProvider* engine) {
            return engine->attachDatabase(status, fileName, dpbLength, dpb);
        });
    }

    IAttachment* createDatabase(CheckStatusWrapper* status, const char* fileName, unsigned dpbLength,
                                const unsigned char* dpb) override
    {
        return admittedOnEngine(status, [&](IProvider* engine) {
            return engine->createDatabase(status, fileName, dpbLength, dpb);
        });
    }

    IService* attachServiceManager(CheckStatusWrapper* status, const char* service, unsigned spbLength,
                                   const unsigned char* spb) override
    {
        return admittedOnEngine(status, [&](IProvider* engine) {
            return engine->attachServiceManager(status, service, spbLength, spb);
        });
    }

    void shutdown(CheckStatusWrapper* status, unsigned timeout, const int reason) override
    {
        if (!engineStarted)
            return;
        onEngine(status, configuration_, [&](IProvider* engine) {
            engine->shutdown(status, timeout, reason);
            return 0;
        });
    }

    void setDbCryptCallback(CheckStatusWrapper* status, ICryptKeyCallback* callback) override
    {
        onEngine(status, configuration_, [&](IProvider* engine) {
            engine->setDbCryptCallback(status, callback);
            return 0;
        });
    }

private:
    // call on the engine when this process shares the program's lock, else
    // the refusal and nothing.
    template <typename Call>
    auto admittedOnEngine(CheckStatusWrapper* status, Call call) -> decltype(call(nullptr))
    {
        return admitted(status) ? onEngine(status, configuration_, call) : decltype(call(nullptr)){};
    }

    static bool admitted(CheckStatusWrapper* status)
    {
        std::string mine;
        if (sharesTheProgramsLock(mine)) {
            engineStarted = true;
            return true;
        }
        refuse(status, mine);
        return false;
    }

    std::atomic<int> references_{1};
    IReferenceCounted* owner_ = nullptr;
    IFirebirdConf* configuration_;
};

class Factory final : public IPluginFactoryImpl<Factory, CheckStatusWrapper> {
public:
    IPluginBase* createPlugin(CheckStatusWrapper* status, IPluginConfig* parameter) override
    {
        IFirebirdConf* configuration = parameter ? parameter->getFirebirdConf(status) : nullptr;
        return new Guard(configuration);
    }
};

Factory factory;

} // namespace

extern "C" __attribute__((visibility("default"))) void FB_PLUGIN_ENTRY_POINT(IMaster* m)
{
    master = m;
    master->getPluginManager()->registerPluginFactory(IPluginManager::TYPE_PROVIDER, "NorvelGuard", &factory);
}
