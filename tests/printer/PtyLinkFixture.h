#pragma once

#include <gtest/gtest.h>

#include "Lumora.h"
#include "PortMapFile.h"
#include "PtyPeer.h"

// COM3 mapped to a fresh pseudo-terminal whose master the test holds.
class PtyLink : public ::testing::Test {
public:
    static constexpr int kPort = 3;

protected:
    void SetUp() override { map.set(kPort, peer.slavePath()); }
    void TearDown() override { Lumora_Fecha(); }

    void openLink() { ASSERT_EQ(Lumora_Abre(kPort), 1) << "code " << Lumora_UltimoErro(); }

    PortMapFile map;
    PtyPeer peer;
};
