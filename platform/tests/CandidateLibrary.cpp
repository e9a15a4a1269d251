// A library for the loader's candidate tests, built twice: once with the entry point the tests
// bind, once without it (a library of the same kind that is not the one wanted).
#ifdef STATION_CANDIDATE_WITH_ENTRY
extern "C" __attribute__((visibility("default"))) int station_candidate_entry() {
    return 7;
}
#else
extern "C" __attribute__((visibility("default"))) int station_candidate_other() {
    return 0;
}
#endif
