*Programa principal
* comentário com espaço
   *comentário recuado
@inicia

     
	
   @rótulo recuado
Escreve "um"
escreve "dois"
ESCREVE "três"
  escreve "recuado"
desvia @PULA
escreve "nunca"
@pula
seja $rotulo "pula dois  "
desvia $rotulo
escreve "nunca"
@Pula Dois  
escreve "fim"
