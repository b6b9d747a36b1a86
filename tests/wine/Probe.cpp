// A library for the loader's checks: one export with a known answer.
extern "C" __declspec(dllexport) int probe_answer() { return 42; }
