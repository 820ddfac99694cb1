/* A 32-bit library with nothing in it: what a user copies next to the 64-bit
   program when the camera's libraries are the usual 32-bit ones. */
int __stdcall DllMain(void* instance, unsigned long reason, void* reserved)
{
    (void)instance; (void)reason; (void)reserved;
    return 1;
}
