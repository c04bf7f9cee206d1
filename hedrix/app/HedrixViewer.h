#pragma once
// The polyhedron viewer's GLUT callbacks and set-up; main registers them.

void InitGL();
void InitScene();
void CreateMenus();
// Compiles the display lists of theMesh; installed as its display-list hook
// once a GL context exists.
void CompileMeshDisplayLists();

void DisplayFunc();
void IdleFunc();
void ReshapeFunc(int width, int height);
void KeyboardFunc(unsigned char key, int x, int y);
void SpecialFunc(int key, int x, int y);
void MouseFunc(int button, int state, int x, int y);
void MotionFunc(int x, int y);
void MenuFunc(int value);
// Keeps IdleFunc registered only while something moves (SceneMoves); every
// input callback and IdleFunc end with it.
void SyncIdle();
