#pragma once

// The test process's own network: a network namespace holding nothing but a
// loopback, entered through a user namespace (no root needed), so a test can
// cut the line to a server it started as a pulled cable does. corta() takes
// the loopback down: every packet is then dropped without a word, no reset,
// no close, and both ends keep their connections until their own timers give
// up; restaura() brings it up again and new connections work at once.
//
// entra() must run first in main(), before any thread exists; the servers and
// programs the test starts afterwards live in the same network. Throws
// std::runtime_error when the system refuses the namespaces.
namespace RedeIsolada {
void entra();
void corta();
void restaura();
} // namespace RedeIsolada
