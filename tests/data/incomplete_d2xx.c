/* A D2XX look-alike that lacks its last entry point: binding must refuse it. */
typedef unsigned int FT_STATUS;
#define EXPORT __attribute__((visibility("default")))
EXPORT FT_STATUS FT_ListDevices(void* a, void* b, unsigned f)
{
    (void)a;
    (void)b;
    (void)f;
    return 0;
}
EXPORT FT_STATUS FT_Open(int i, void** h)
{
    (void)i;
    *h = 0;
    return 2;
}
EXPORT FT_STATUS FT_Close(void* h)
{
    (void)h;
    return 0;
}
EXPORT FT_STATUS FT_ResetDevice(void* h)
{
    (void)h;
    return 0;
}
EXPORT FT_STATUS FT_Purge(void* h, unsigned m)
{
    (void)h;
    (void)m;
    return 0;
}
EXPORT FT_STATUS FT_Read(void* h, void* b, unsigned n, unsigned* g)
{
    (void)h;
    (void)b;
    (void)n;
    *g = 0;
    return 0;
}
EXPORT FT_STATUS FT_Write(void* h, void* b, unsigned n, unsigned* g)
{
    (void)h;
    (void)b;
    *g = n;
    return 0;
}
EXPORT FT_STATUS FT_SetDivisor(void* h, unsigned short d)
{
    (void)h;
    (void)d;
    return 0;
}
EXPORT FT_STATUS FT_SetTimeouts(void* h, unsigned r, unsigned w)
{
    (void)h;
    (void)r;
    (void)w;
    return 0;
}
EXPORT FT_STATUS FT_SetBaudRate(void* h, unsigned b)
{
    (void)h;
    (void)b;
    return 0;
}
EXPORT FT_STATUS FT_GetDeviceInfo(void* h, unsigned* t, unsigned* i, char* s, char* d, void* x)
{
    (void)h;
    (void)t;
    (void)i;
    (void)s;
    (void)d;
    (void)x;
    return 0;
}
EXPORT FT_STATUS FT_GetStatus(void* h, unsigned* r, unsigned* t, unsigned* e)
{
    (void)h;
    *r = *t = *e = 0;
    return 0;
}
EXPORT FT_STATUS FT_GetQueueStatus(void* h, unsigned* r)
{
    (void)h;
    *r = 0;
    return 0;
}
EXPORT FT_STATUS FT_SetRts(void* h)
{
    (void)h;
    return 0;
}
EXPORT FT_STATUS FT_SetDataCharacteristics(void* h, unsigned char a, unsigned char b, unsigned char c)
{
    (void)h;
    (void)a;
    (void)b;
    (void)c;
    return 0;
}
EXPORT FT_STATUS FT_SetFlowControl(void* h, unsigned short f, unsigned char a, unsigned char b)
{
    (void)h;
    (void)f;
    (void)a;
    (void)b;
    return 0;
}
#ifdef PLENDORO_COMPLETE_D2XX
/* Built a second time with all 17: a library that binds, lists nothing and
   opens nothing, like the vendor's without its kernel module's device. */
EXPORT FT_STATUS FT_SetLatencyTimer(void* h, unsigned char ms)
{
    (void)h;
    (void)ms;
    return 0;
}
#endif
