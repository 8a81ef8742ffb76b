// A Firebird client outside the data module, as any other program on the
// machine could be: it takes FIREBIRD and FIREBIRD_LOCK from its environment
// and sets nothing itself.
//   lock_probe <database> <rows> [--config <text>] [--then-lock <directory>]
// attaches (with <text> as the attachment's configuration), and when refused
// and given --then-lock, sets FIREBIRD_LOCK to <directory> and attaches once
// more; then inserts <rows> cheques of bank 1, each committed on its own.
// Exit 0 when every row was committed, 3 when refused (the reason on
// standard output), 1 on a failure after the attachment.
#include <firebird/Interface.h>
#include <ibase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

using namespace Firebird;

namespace {

IMaster* master = fb_get_master_interface();

std::string text(IStatus* status)
{
    char buffer[2048] = {};
    master->getUtilInterface()->formatStatus(buffer, sizeof buffer - 1, status);
    return buffer;
}

IAttachment* attach(ThrowStatusWrapper* status, const char* database, const char* config)
{
    IXpbBuilder* dpb = master->getUtilInterface()->getXpbBuilder(status, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(status, isc_dpb_user_name, "SYSDBA");
    if (config)
        dpb->insertString(status, isc_dpb_config, config);
    IAttachment* attachment = master->getDispatcher()->attachDatabase(status, database, dpb->getBufferLength(status),
                                                                      dpb->getBuffer(status));
    dpb->dispose();
    return attachment;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3)
        return 2;
    const char* config = nullptr;
    const char* thenLock = nullptr;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--config"))
            config = argv[i + 1];
        else if (!std::strcmp(argv[i], "--then-lock"))
            thenLock = argv[i + 1];
    }
    ThrowStatusWrapper status(master->getStatus());
    IAttachment* attachment = nullptr;
    try {
        attachment = attach(&status, argv[1], config);
    } catch (const FbException& refused) {
        if (!thenLock) {
            std::printf("%s\n", text(refused.getStatus()).c_str());
            return 3;
        }
        setenv("FIREBIRD_LOCK", thenLock, 1);
        try {
            attachment = attach(&status, argv[1], config);
        } catch (const FbException& again) {
            std::printf("%s\n", text(again.getStatus()).c_str());
            return 3;
        }
    }
    const std::string insert = "EXECUTE PROCEDURE INSERIR_CHEQUE '1', 1, NULL, '9', '2', '2026-01-02', NULL, "
                               "'Cliente " + std::to_string(getpid()) + "', 'Rio', '5,00', 0, 0, 0, NULL, '', 0";
    try {
        for (int i = std::atoi(argv[2]); i > 0; --i) {
            ITransaction* transaction = attachment->startTransaction(&status, 0, nullptr);
            attachment->execute(&status, transaction, 0, insert.c_str(), 3, nullptr, nullptr, nullptr, nullptr);
            transaction->commit(&status);
        }
        attachment->detach(&status);
    } catch (const FbException& failed) {
        std::printf("%s\n", text(failed.getStatus()).c_str());
        return 1;
    }
    std::printf("ok\n");
    return 0;
}
