#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

TEST(LumoraExports, ExactlyTheEighteenFunctions)
{
    const std::string command = std::string("nm -D --defined-only ") + LUMORA_LIBRARY_PATH;
    FILE *pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> symbols;
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        std::istringstream fields(line);
        std::string address, type, name;
        fields >> address >> type >> name;
        symbols.insert(name);
        EXPECT_EQ(type, "T") << name;
    }
    ASSERT_EQ(pclose(pipe), 0);

    const std::set<std::string> expected = {
        "Lumora_Abre", "Lumora_AbreEX", "Lumora_Fecha", "Lumora_EnviaBloco",
        "Lumora_EnviaByte", "Lumora_HaByte", "Lumora_RecebeByte", "Lumora_UltimoErro",
        "Lumora_Status", "Lumora_ProgramaBancos", "Lumora_Ejeta", "Lumora_CampoCheque",
        "Lumora_CampoChequePermanente", "Lumora_ImprimeCheque", "Lumora_IniciaLeitura",
        "Lumora_Leitura", "Lumora_FinalizaLeitura", "Lumora_SolicitaLeitura",
    };
    EXPECT_EQ(symbols, expected);
}
