#include "database/BoundedTempStorage.h"

#include <sqlite3.h>

#include <cstring>
#include <stdexcept>

struct TBoundedTempStorage::TState {
  sqlite3_vfs Vfs{};
  sqlite3_vfs* Base = nullptr;
  std::string Name;
  std::int64_t Limit = 0;
  std::atomic<std::int64_t> Used{0};
  std::atomic<bool> Refused{false};
};

namespace {

using TState = TBoundedTempStorage::TState;

// A temporary file: our part, then the base file system's file.
struct TTempFile {
  sqlite3_file Base;  // must come first: SQLite sees this
  TState* Owner;
  std::int64_t Size;
  sqlite3_file* Real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

TTempFile* Temp(sqlite3_file* f) { return reinterpret_cast<TTempFile*>(f); }

constexpr int TempKinds = SQLITE_OPEN_TEMP_DB | SQLITE_OPEN_TEMP_JOURNAL |
                          SQLITE_OPEN_TRANSIENT_DB | SQLITE_OPEN_SUBJOURNAL;

// Grows (or shrinks) the account of a file to `size`; false when the limit
// forbids it.
bool Account(TTempFile* f, std::int64_t size)
{
  const std::int64_t delta = size - f->Size;
  if (delta > 0 && f->Owner->Used.load() + delta > f->Owner->Limit) {
    f->Owner->Refused = true;
    return false;
  }
  f->Owner->Used += delta;
  f->Size = size;
  return true;
}

int Close(sqlite3_file* f)
{
  TTempFile* t = Temp(f);
  t->Owner->Used -= t->Size;
  t->Size = 0;
  return t->Real()->pMethods ? t->Real()->pMethods->xClose(t->Real()) : SQLITE_OK;
}
int Read(sqlite3_file* f, void* p, int n, sqlite3_int64 off)
{
  return Temp(f)->Real()->pMethods->xRead(Temp(f)->Real(), p, n, off);
}
int Write(sqlite3_file* f, const void* p, int n, sqlite3_int64 off)
{
  TTempFile* t = Temp(f);
  if (off + n > t->Size && !Account(t, off + n)) return SQLITE_FULL;
  return t->Real()->pMethods->xWrite(t->Real(), p, n, off);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size)
{
  TTempFile* t = Temp(f);
  if (size < t->Size) Account(t, size);
  return t->Real()->pMethods->xTruncate(t->Real(), size);
}
int Sync(sqlite3_file* f, int flags) { return Temp(f)->Real()->pMethods->xSync(Temp(f)->Real(), flags); }
int FileSize(sqlite3_file* f, sqlite3_int64* size)
{
  return Temp(f)->Real()->pMethods->xFileSize(Temp(f)->Real(), size);
}
int Lock(sqlite3_file* f, int l) { return Temp(f)->Real()->pMethods->xLock(Temp(f)->Real(), l); }
int Unlock(sqlite3_file* f, int l) { return Temp(f)->Real()->pMethods->xUnlock(Temp(f)->Real(), l); }
int CheckReservedLock(sqlite3_file* f, int* out)
{
  return Temp(f)->Real()->pMethods->xCheckReservedLock(Temp(f)->Real(), out);
}
int FileControl(sqlite3_file* f, int op, void* arg)
{
  return Temp(f)->Real()->pMethods->xFileControl(Temp(f)->Real(), op, arg);
}
int SectorSize(sqlite3_file* f) { return Temp(f)->Real()->pMethods->xSectorSize(Temp(f)->Real()); }
int DeviceCharacteristics(sqlite3_file* f)
{
  return Temp(f)->Real()->pMethods->xDeviceCharacteristics(Temp(f)->Real());
}

// Temporary files are plain files: no shared memory, no memory mapping.
const sqlite3_io_methods TempMethods = {
    1,        Close, Read,        Write,       Truncate,          Sync,
    FileSize, Lock,  Unlock,      CheckReservedLock, FileControl, SectorSize,
    DeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

TState* Owner(sqlite3_vfs* vfs) { return static_cast<TState*>(vfs->pAppData); }

int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
  TState* s = Owner(vfs);
  // Everything but temporary files is the base file system's own.
  if ((flags & TempKinds) == 0) return s->Base->xOpen(s->Base, name, file, flags, outFlags);
  TTempFile* t = Temp(file);
  std::memset(t, 0, sizeof(TTempFile));
  t->Owner = s;
  const int rc = s->Base->xOpen(s->Base, name, t->Real(), flags, outFlags);
  if (rc != SQLITE_OK) {
    // SQLite calls xClose only when pMethods is set.
    if (t->Real()->pMethods) t->Real()->pMethods->xClose(t->Real());
    return rc;
  }
  t->Base.pMethods = &TempMethods;
  return SQLITE_OK;
}

int Delete(sqlite3_vfs* v, const char* n, int sync) { return Owner(v)->Base->xDelete(Owner(v)->Base, n, sync); }
int Access(sqlite3_vfs* v, const char* n, int flags, int* out)
{
  return Owner(v)->Base->xAccess(Owner(v)->Base, n, flags, out);
}
int FullPathname(sqlite3_vfs* v, const char* n, int size, char* out)
{
  return Owner(v)->Base->xFullPathname(Owner(v)->Base, n, size, out);
}
void* DlOpen(sqlite3_vfs*, const char*) { return nullptr; }
void DlError(sqlite3_vfs*, int n, char* out)
{
  if (n > 0) std::strncpy(out, "extensions are not loaded", size_t(n) - 1), out[n - 1] = 0;
}
void (*DlSym(sqlite3_vfs*, void*, const char*))(void) { return nullptr; }
void DlClose(sqlite3_vfs*, void*) {}
int Randomness(sqlite3_vfs* v, int n, char* out) { return Owner(v)->Base->xRandomness(Owner(v)->Base, n, out); }
int Sleep(sqlite3_vfs* v, int us) { return Owner(v)->Base->xSleep(Owner(v)->Base, us); }
int CurrentTime(sqlite3_vfs* v, double* t) { return Owner(v)->Base->xCurrentTime(Owner(v)->Base, t); }
int GetLastError(sqlite3_vfs* v, int n, char* out)
{
  return Owner(v)->Base->xGetLastError ? Owner(v)->Base->xGetLastError(Owner(v)->Base, n, out) : 0;
}
int CurrentTimeInt64(sqlite3_vfs* v, sqlite3_int64* t)
{
  return Owner(v)->Base->xCurrentTimeInt64(Owner(v)->Base, t);
}

}  // namespace

TBoundedTempStorage::TBoundedTempStorage(std::int64_t limitBytes) : State(std::make_unique<TState>())
{
  TState& s = *State;
  s.Base = sqlite3_vfs_find(nullptr);
  if (!s.Base || s.Base->iVersion < 2) throw std::runtime_error("SQLite has no usable file system");
  s.Limit = limitBytes;
  char name[64];
  std::snprintf(name, sizeof name, "sollumen-bounded-%p", static_cast<void*>(&s));
  s.Name = name;
  sqlite3_vfs& v = s.Vfs;
  v.iVersion = 2;
  v.szOsFile = int(sizeof(TTempFile)) + s.Base->szOsFile;
  v.mxPathname = s.Base->mxPathname;
  v.zName = s.Name.c_str();
  v.pAppData = &s;
  v.xOpen = Open;
  v.xDelete = Delete;
  v.xAccess = Access;
  v.xFullPathname = FullPathname;
  v.xDlOpen = DlOpen;
  v.xDlError = DlError;
  v.xDlSym = DlSym;
  v.xDlClose = DlClose;
  v.xRandomness = Randomness;
  v.xSleep = Sleep;
  v.xCurrentTime = CurrentTime;
  v.xGetLastError = GetLastError;
  v.xCurrentTimeInt64 = CurrentTimeInt64;
  sqlite3_vfs_register(&v, 0);
}

TBoundedTempStorage::~TBoundedTempStorage() { sqlite3_vfs_unregister(&State->Vfs); }

const char* TBoundedTempStorage::VfsName() const { return State->Name.c_str(); }
std::int64_t TBoundedTempStorage::Used() const { return State->Used.load(); }
bool TBoundedTempStorage::Refused() const { return State->Refused.load(); }
