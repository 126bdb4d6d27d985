// Entry of every end-to-end test program: e2e_x.exe [gtest flags] PATH_OF_SORVINTA_EXE
// Runs inside the network sandbox, next to the emulator.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "e2e_driver.h"
#include "e2e_emulator.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: %s [gtest flags] PATH_OF_Sorvinta.exe\n", argv[0]);
        return 2;
    }
    SetSorvintaExe(argv[1]);
    if (GetFileAttributesW(SorvintaExe().c_str()) == INVALID_FILE_ATTRIBUTES) {
        fprintf(stderr, "e2e: %s does not exist\n", argv[1]);
        return 2;
    }
    // The sandbox names its peer: the emulator, or nginx, which has no control requests.
    char peer[32] = "";
    GetEnvironmentVariableA("SORVINTA_PEER", peer, sizeof(peer));
    const bool nginx = strcmp(peer, "nginx") == 0;
    if (!StartWinsock() || !(nginx ? PeersAnswer() : EmulatorReachable())) {
        fprintf(stderr, "e2e: the %s does not answer on %s and %s; run inside tools/sandbox.sh\n",
            nginx ? "nginx peer" : "emulator", LOGIN_HOST_ADDRESS, DATA_HOST_ADDRESS);
        return 2;
    }
    if (!nginx && EmulatorLogPath().empty())
        fprintf(stderr, "e2e: SORVINTA_EMULATOR_LOG is not set; log checks will fail\n");
    return RUN_ALL_TESTS();
}
