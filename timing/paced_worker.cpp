#include "timing/paced_worker.h"

// Stubs until the worker lands.
int NoOpCallback(void*) {
    return 0;
}
PacedWorker::PacedWorker()
    : thread(nullptr),
      userArg(nullptr),
      frameFn(NoOpCallback),
      flagFn(NoOpCallback),
      detachFn(NoOpCallback),
      pendingDetachFn(NoOpCallback),
      wakeEvent(nullptr),
      ackEvent(nullptr),
      lock(),
      state(0),
      command(0),
      period(0),
      frameStart(0),
      lockReady(false) {}
PacedWorker::~PacedWorker() {}
int PacedWorker::Create(int) {
    return 0;
}
void PacedWorker::SetCallbacks(void*, WorkerCallback, WorkerCallback, WorkerCallback) {}
void PacedWorker::Command(int32_t, uint32_t) {}
void PacedWorker::OnTick(void*) {}
UINT PacedWorker::WorkerMain(LPVOID) {
    return 0;
}
